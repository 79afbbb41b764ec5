# Warnings and sanitizers shared by every target of the project, and the rule by which our
# libraries are declared.
add_library(qv_options INTERFACE)
target_compile_options(qv_options INTERFACE -Wall -Wextra)
if(QV_WERROR)
    target_compile_options(qv_options INTERFACE -Werror)
endif()
if(QV_SANITIZE)
    set(_qv_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    target_compile_options(qv_options INTERFACE ${_qv_sanitize_flags})
    target_link_options(qv_options INTERFACE ${_qv_sanitize_flags})
endif()

# qv_library(<name> SOURCES ... DEPENDS ...): the static library of the folder that calls it,
# whose headers are included as <folder/header.h>.
#
# Each library exposes an include directory of its own that holds only its folder (a symbolic
# link in the build tree), and its users see the include directories of what they link. So a
# header of a library that is not linked cannot be found: an include that goes upwards, or to a
# library not declared in DEPENDS, fails to compile.
function(qv_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(include_root ${PROJECT_BINARY_DIR}/include/${name})
    file(MAKE_DIRECTORY ${include_root})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${include_root}/${folder} SYMBOLIC)
    add_library(${name} STATIC ${ARG_SOURCES})
    set_property(GLOBAL APPEND PROPERTY QV_OWN_LIBRARIES ${name})
    target_include_directories(${name} PUBLIC ${include_root})
    target_link_libraries(${name} PUBLIC qv_options ${ARG_DEPENDS})
endfunction()
