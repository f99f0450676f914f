cmake_minimum_required(VERSION 3.25)
# Fails unless the program imports only what every Windows its manifest names
# (Windows 7 on) provides, from where no one can plant a copy:
# - DLLs that are KnownDLLs on Windows 7 and on later Windows, which the
#   loader always takes from System32, and comctl32, which the manifest binds
#   to the system's side-by-side copy. Any other DLL is loaded at run time
#   from System32.
# - No function that Windows 7 lacks (or has only with an update). The list
#   below names the newer functions such a program is likely to reach for; it
#   is a deny-list, not the full catalogue of each DLL.
# EXE is run through OBJDUMP -p; DUMP names a saved dump instead (the check's
# own tests).
if(DEFINED DUMP)
    file(READ ${DUMP} dump)
    set(EXE ${DUMP})
else()
    execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "objdump failed on ${EXE}")
    endif()
endif()
if(NOT dump MATCHES "Subsystem[\t ]+00000002")
    message(FATAL_ERROR "${EXE} is not a GUI program")
endif()
if(NOT dump MATCHES "file format pei-x86-64")
    message(FATAL_ERROR "${EXE} is not a 64-bit Windows executable")
endif()

set(known_dlls advapi32.dll clbcatq.dll comdlg32.dll gdi32.dll imagehlp.dll imm32.dll kernel32.dll msctf.dll
    msvcrt.dll normaliz.dll nsi.dll ole32.dll oleaut32.dll psapi.dll rpcrt4.dll sechost.dll setupapi.dll
    shell32.dll shlwapi.dll user32.dll wldap32.dll ws2_32.dll)
set(manifest_dlls comctl32.dll)
set(newer_functions
    "^GetDpiFor" "ForDpi$" "DpiAwareness" "PerMonitorDPI$" "^EnableNonClientDpiScaling$"
    "^GetSystemTimePreciseAsFileTime$" "^PathCch" "^CreateFile2$" "^CopyFile2$"
    "^SetDefaultDllDirectories$" "^AddDllDirectory$" "^RemoveDllDirectory$"
    "^(Set|Get)ThreadDescription$" "^(Set|Get)ProcessMitigationPolicy$" "^SetThreadInformation$"
    "^GetOverlappedResultEx$" "^PrefetchVirtualMemory$" "FromApp$" "PseudoConsole$" "^GetCurrentPackage"
    "^GetPointer" "^EnableMouseInPointer$" "^(InitializeTouchInjection|InjectTouchInput)$"
    "^(Get|Set)DisplayAutoRotationPreferences$" "^IsImmersiveProcess$" "^GetCurrentInputMessageSource$")

message(STATUS "checking the imports of ${EXE}")
string(REPLACE ";" "," dump "${dump}")
string(REPLACE "\n" ";" lines "${dump}")
set(dll "")
set(dll_count 0)
foreach(line IN LISTS lines)
    if(line MATCHES "DLL Name: (.+)$")
        string(TOLOWER "${CMAKE_MATCH_1}" dll)
        string(STRIP "${dll}" dll)
        if(NOT dll IN_LIST known_dlls AND NOT dll IN_LIST manifest_dlls)
            message(FATAL_ERROR "imports ${dll}: not one of Windows' KnownDLLs")
        endif()
        math(EXPR dll_count "${dll_count} + 1")
        message(STATUS "imports ${dll}")
    elseif(dll AND line MATCHES "^\t[0-9a-f]+\t? *[0-9]+ +([A-Za-z_][A-Za-z0-9_@]*)$")
        set(function "${CMAKE_MATCH_1}")
        foreach(pattern IN LISTS newer_functions)
            if(function MATCHES "${pattern}")
                message(FATAL_ERROR "imports ${function} from ${dll}: Windows 7 lacks it")
            endif()
        endforeach()
    elseif(line MATCHES "^[^\t]")
        # The end of the import tables: later sections list other names.
        set(dll "")
    endif()
endforeach()
if(dll_count EQUAL 0)
    message(FATAL_ERROR "no imports found in ${EXE}")
endif()
