# The layer table of src/: zl_layer() rows name a library, its folders and the folders (or single
# headers) its code may include; zl_finish_layers() links the libraries accordingly and adds the
# build step that stops the build on any #include outside a folder's row.
#
# zl_layer(<library> FOLDERS <folder>... [PUBLIC <use>...] [PRIVATE <use>...] [TOOL] [PROGRAM])
#   TOOL     tooling outside the products: not part of zlcore
#   PROGRAM  the folder makes its own targets (a program); only its includes are checked

set(ZL_LAYER_RULES "" CACHE INTERNAL "")
set(ZL_PRODUCT_LAYERS "")
set(ZL_LAYER_LIBRARIES "")

function(zl_layer library)
    cmake_parse_arguments(PARSE_ARGV 1 arg "TOOL;PROGRAM" "" "FOLDERS;PUBLIC;PRIVATE")
    set(rules ${ZL_LAYER_RULES_LIST})
    foreach(folder ${arg_FOLDERS})
        string(JOIN "," uses ${arg_FOLDERS} ${arg_PUBLIC} ${arg_PRIVATE})
        list(APPEND rules "${folder}=${uses}")
        set(ZL_LAYER_OF_${folder} ${library} PARENT_SCOPE)
    endforeach()
    set(ZL_LAYER_RULES_LIST ${rules} PARENT_SCOPE)
    if(arg_PROGRAM)
        return()
    endif()
    set(present "")
    foreach(folder ${arg_FOLDERS})
        if(EXISTS ${PROJECT_SOURCE_DIR}/src/${folder}/CMakeLists.txt)
            list(APPEND present ${folder})
        endif()
    endforeach()
    if(NOT present)
        return()
    endif()
    add_library(${library} STATIC)
    target_include_directories(${library} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${library} PRIVATE zl_warnings)
    set_property(TARGET ${library} PROPERTY ZL_PUBLIC_USES ${arg_PUBLIC})
    set_property(TARGET ${library} PROPERTY ZL_PRIVATE_USES ${arg_PRIVATE})
    foreach(folder ${present})
        add_subdirectory(${PROJECT_SOURCE_DIR}/src/${folder} ${PROJECT_BINARY_DIR}/src/${folder})
    endforeach()
    set(ZL_LAYER_LIBRARIES ${ZL_LAYER_LIBRARIES} ${library} PARENT_SCOPE)
    if(NOT arg_TOOL)
        set(ZL_PRODUCT_LAYERS ${ZL_PRODUCT_LAYERS} ${library} PARENT_SCOPE)
    endif()
endfunction()

# The library that holds `use` (a folder or a header in one), if it is built.
function(_zl_library_of use out)
    set(folder ${use})
    if(use MATCHES "\\.h$")
        get_filename_component(folder ${use} DIRECTORY)
    endif()
    set(${out} "" PARENT_SCOPE)
    while(folder)
        if(DEFINED ZL_LAYER_OF_${folder} AND TARGET ${ZL_LAYER_OF_${folder}})
            set(${out} ${ZL_LAYER_OF_${folder}} PARENT_SCOPE)
            return()
        endif()
        get_filename_component(folder ${folder} DIRECTORY)
    endwhile()
endfunction()

function(zl_finish_layers)
    foreach(library ${ZL_LAYER_LIBRARIES})
        foreach(scope PUBLIC PRIVATE)
            get_property(uses TARGET ${library} PROPERTY ZL_${scope}_USES)
            foreach(use ${uses})
                _zl_library_of(${use} used)
                if(used AND NOT used STREQUAL library)
                    target_link_libraries(${library} ${scope} ${used})
                endif()
            endforeach()
        endforeach()
    endforeach()

    set(rules_file ${PROJECT_BINARY_DIR}/layer_rules.txt)
    list(JOIN ZL_LAYER_RULES_LIST "\n" rules_text)
    file(WRITE ${rules_file} "${rules_text}\n")
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
         ${PROJECT_SOURCE_DIR}/src/*.h ${PROJECT_SOURCE_DIR}/src/*.cpp)
    set(stamp ${PROJECT_BINARY_DIR}/layer_check.stamp)
    add_custom_command(
        OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DZL_SOURCE_ROOT=${PROJECT_SOURCE_DIR}/src -DZL_RULES=${rules_file}
                -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${sources} ${rules_file} ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
        COMMENT "Checking the #include lines of src/ against the layer table"
        VERBATIM)
    add_custom_target(zl_layer_check ALL DEPENDS ${stamp})
    foreach(library ${ZL_LAYER_LIBRARIES})
        add_dependencies(${library} zl_layer_check)
    endforeach()
endfunction()
