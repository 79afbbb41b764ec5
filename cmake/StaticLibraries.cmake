# The X and image libraries come from their static archives (Debian ships them with the -dev
# packages): the launcher must start and run its payload on machines that have no X libraries
# at all, such as headless servers, and only its failure road uses them. Everything that links
# them (the toolkit, its tests, the fuzz targets) links the same archives. They are found here,
# once for the whole tree, so that every directory links the same imported targets: a second
# zlib target of the same archive would be dropped from the link line as a duplicate and could
# land before libpng, which needs it.
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

# An imported library rather than a path in a list: CMake then knows that zlib must follow it on
# every link line.
add_library(qv_png STATIC IMPORTED GLOBAL)
set_target_properties(qv_png PROPERTIES
    IMPORTED_LOCATION ${QV_PNG_ARCHIVE}
    INTERFACE_INCLUDE_DIRECTORIES "${PNG_INCLUDE_DIRS}"
    INTERFACE_LINK_LIBRARIES "ZLIB::ZLIB;m")

# Order matters for static archives: each before the ones it needs.
add_library(qv_x11 INTERFACE)
target_include_directories(qv_x11 INTERFACE ${X11_INCLUDE_DIR})
target_link_libraries(qv_x11 INTERFACE ${QV_XEXT_ARCHIVE} ${QV_X11_ARCHIVE} ${QV_XCB_ARCHIVE}
                      ${QV_XAU_ARCHIVE} ${QV_XDMCP_ARCHIVE})
