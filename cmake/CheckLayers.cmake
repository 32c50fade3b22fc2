# Fails when a source file includes a header of a layer above its own. Run as
#   cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
# Each layer names the layers it may not include.
set(forbidden_core platform gui app)
set(forbidden_platform gui app)
set(forbidden_gui app)

set(violations "")
foreach(layer core platform gui)
    list(JOIN forbidden_${layer} "|" above)
    file(GLOB_RECURSE sources ${SOURCE_DIR}/${layer}/*.cpp ${SOURCE_DIR}/${layer}/*.h)
    foreach(source IN LISTS sources)
        file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"(${above})/")
        foreach(line IN LISTS includes)
            file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
            string(STRIP "${line}" line)
            string(APPEND violations "\n  ${name}: ${line}")
        endforeach()
    endforeach()
endforeach()

if(violations)
    message(FATAL_ERROR "Includes that reach up to a higher layer:${violations}")
endif()
