# Compiler settings shared by every target of the project.

option(VELMORA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(velmora_options INTERFACE)
if(MSVC)
    target_compile_options(velmora_options INTERFACE /W4 /WX /permissive- /utf-8)
else()
    target_compile_options(velmora_options INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
        -Wnon-virtual-dtor -Woverloaded-virtual -Wold-style-cast -Werror
        # Designated initialisers leave the other fields zero on purpose.
        -Wno-missing-field-initializers)
endif()

# GCC 12 reports std::string assignments as overlapping copies at -O3 (a
# known false positive, fixed in GCC 13).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(velmora_options INTERFACE -Wno-restrict)
endif()

if(VELMORA_SANITIZE)
    target_compile_options(velmora_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(velmora_options INTERFACE -fsanitize=address,undefined)
endif()
