# Build flags shared by every target: link tessary_build_flags and nothing else is needed.
add_library(tessary_build_flags INTERFACE)

target_compile_features(tessary_build_flags INTERFACE cxx_std_20)

target_compile_options(tessary_build_flags INTERFACE
    -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual -Wshadow=local
    $<$<BOOL:${TESSARY_WERROR}>:-Werror>)

target_compile_definitions(tessary_build_flags INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_KEYWORDS
    QT_NO_FOREACH
    QT_USE_QSTRINGBUILDER
    QT_STRICT_ITERATORS)

if(TESSARY_SANITIZE)
    target_compile_options(tessary_build_flags INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(tessary_build_flags INTERFACE -fsanitize=address,undefined)
endif()
