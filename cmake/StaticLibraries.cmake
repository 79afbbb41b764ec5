# The X and image libraries come from their static archives (Debian ships them with the -dev
# packages): the launcher must start and run its payload on machines that have no X libraries
# at all, such as headless servers, and only its failure road uses them. Everything that links
# them (the toolkit, its tests, the fuzz targets) links the same archives.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(X11 REQUIRED)

function(qv_static_archive variable name)
    find_library(${variable} NAMES lib${name}.a REQUIRED)
endfunction()

qv_static_archive(QV_PNG_ARCHIVE png16)
qv_static_archive(QV_X11_ARCHIVE X11)
qv_static_archive(QV_XCB_ARCHIVE xcb)
qv_static_archive(QV_XAU_ARCHIVE Xau)
qv_static_archive(QV_XDMCP_ARCHIVE Xdmcp)
qv_static_archive(QV_XEXT_ARCHIVE Xext)

add_library(qv_png INTERFACE)
target_include_directories(qv_png INTERFACE ${PNG_INCLUDE_DIRS})
target_link_libraries(qv_png INTERFACE ${QV_PNG_ARCHIVE} ZLIB::ZLIB m)

# Order matters for static archives: each before the ones it needs.
add_library(qv_x11 INTERFACE)
target_include_directories(qv_x11 INTERFACE ${X11_INCLUDE_DIR})
target_link_libraries(qv_x11 INTERFACE ${QV_XEXT_ARCHIVE} ${QV_X11_ARCHIVE} ${QV_XCB_ARCHIVE}
                      ${QV_XAU_ARCHIVE} ${QV_XDMCP_ARCHIVE})
