# Warnings and sanitizers shared by every target of the project.
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

# qv_library(<name> <include root> SOURCES ... DEPENDS ...): one static library per namespace folder.
function(qv_library name include_root)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    set_property(GLOBAL APPEND PROPERTY QV_OWN_LIBRARIES ${name})
    target_include_directories(${name} PUBLIC ${include_root})
    qv_link_libraries(${name} PUBLIC qv_options ${ARG_DEPENDS})
endfunction()

# qv_link_libraries(<target> <scope> <libraries>...): target_link_libraries, except that our own
# libraries are linked whole. Their static objects register themselves (parameters, log sources,
# translation tables, resources) and nothing else refers to them, so a plain static link would
# drop them.
function(qv_link_libraries target scope)
    get_property(own GLOBAL PROPERTY QV_OWN_LIBRARIES)
    set(items)
    foreach(library ${ARGN})
        if(library IN_LIST own)
            list(APPEND items "$<LINK_LIBRARY:WHOLE_ARCHIVE,${library}>")
        else()
            list(APPEND items ${library})
        endif()
    endforeach()
    target_link_libraries(${target} ${scope} ${items})
endfunction()
