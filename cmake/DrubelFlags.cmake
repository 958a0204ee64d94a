# Every string of the program is Shift-JIS: sources stay UTF-8 and narrow
# literals are stored in code page 932. CP932 rather than SHIFT_JIS keeps
# 0x5C a backslash. clang has no such conversion; its builds (the fuzzers)
# only see the bytes, so UTF-8 literals do no harm there.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-finput-charset=UTF-8 -fexec-charset=CP932)
endif()

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
if(DRUBEL_WERROR)
    add_compile_options(-Werror)
endif()

if(WIN32)
    add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
    # One self-contained file on the disc: no MinGW runtime DLLs beside it.
    set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
    # Known DLLs only (and the common controls, which the manifest takes
    # from the side-by-side store): winmm is loaded from the system folder
    # at run time (src/common/system_dlls.h).
    set(DRUBEL_WINDOWS_LIBS comctl32 ole32 oleaut32 uuid shell32 gdi32 user32 advapi32 kernel32)
endif()

if(DRUBEL_FUZZ)
    # -O1 on top of the Debug build: the assertions and every sanitizer
    # check stay, and a target runs several times faster, so it gets deeper.
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link -g -O1)
    add_link_options(-fsanitize=address,undefined)
endif()
