@echo off
rem Registers the Wrang.dll files of this package for the clients of this machine:
rem   register.cmd            for every user (run it as administrator)
rem   register.cmd /user      for the current user only (no administrator rights needed)
rem   register.cmd /u [/user] removes that registration again
rem On 64-bit Windows both DLLs are registered: x64\Wrang.dll for 64-bit clients (System32\cscript,
rem PowerShell, 64-bit Office) and x86\Wrang.dll for 32-bit ones (SysWOW64\cscript, 32-bit Office),
rem each by the regsvr32 of its own bitness. On 32-bit Windows only x86\Wrang.dll.
rem It reports what it registered and what it could not; the exit code is 0 only when all succeeded.
setlocal
set "SCOPE=machine"
set "UNDO="
:options
if "%~1"=="" goto chosen
if /i "%~1"=="/user" (set "SCOPE=user" & shift & goto options)
if /i "%~1"=="/u" (set "UNDO=1" & shift & goto options)
echo Unknown option %1. Use: register.cmd [/user] [/u]
exit /b 2
:chosen

set "HERE=%~dp0"
set "FAILED=0"
set "FLAGS=/s"
if "%SCOPE%"=="user" set "FLAGS=/s /n /i:user"
if defined UNDO set "FLAGS=%FLAGS% /u"
set "WHAT=registered"
if defined UNDO set "WHAT=unregistered"
set "FOR=for every user"
if "%SCOPE%"=="user" set "FOR=for the current user"

rem Which Windows: a 32-bit cmd on 64-bit Windows sees PROCESSOR_ARCHITEW6432 and reaches the
rem 64-bit System32 only through Sysnative.
set "REGSVR64="
set "REGSVR32=%SystemRoot%\System32\regsvr32.exe"
if /i "%PROCESSOR_ARCHITECTURE%"=="AMD64" (
    set "REGSVR64=%SystemRoot%\System32\regsvr32.exe"
    set "REGSVR32=%SystemRoot%\SysWOW64\regsvr32.exe"
)
if defined PROCESSOR_ARCHITEW6432 (
    set "REGSVR64=%SystemRoot%\Sysnative\regsvr32.exe"
    set "REGSVR32=%SystemRoot%\SysWOW64\regsvr32.exe"
)

if defined REGSVR64 call :one x64 "%REGSVR64%" "64-bit clients"
call :one x86 "%REGSVR32%" "32-bit clients"
if "%FAILED%"=="0" (echo Done: every Wrang.dll of this package %WHAT% %FOR%.) else (echo Done, but not everything was %WHAT%: see above.)
exit /b %FAILED%

:one
rem %1 the folder of the DLL, %2 the regsvr32 of its bitness, %3 who uses it
if not exist "%HERE%%1\Wrang.dll" (
    echo NOT %WHAT%: %1\Wrang.dll for %~3 - the file is missing from this package.
    set "FAILED=1"
    exit /b 0
)
"%~2" %FLAGS% "%HERE%%1\Wrang.dll"
if errorlevel 1 (
    echo NOT %WHAT%: %1\Wrang.dll for %~3 - %~2 failed with exit code %ERRORLEVEL%.
    set "FAILED=1"
) else (
    echo OK, %WHAT% %FOR%: %1\Wrang.dll for %~3
)
exit /b 0
