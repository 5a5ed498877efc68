@echo off
rem deploy-orbittender.cmd [<folder of Orbit-Tender.exe>] [/account <name>] [/datafolder <folder>]
rem [/delayed] [/depend <service>]... [/privilege <name>]...: makes Orbit-Tender.exe the running
rem service OrbitTender on this till. Put it beside the one TlvAsService-<version>-<edition>.msi
rem you deploy, in a folder only administrators can change, and run it as administrator (a
rem start-up script or a deployment tool runs it as SYSTEM), once or at every start: a second run
rem changes nothing. Give the folder only when the payment program is not under Program Files;
rem the switches after it are passed on to TlvAsService /quiet, which checks them.
rem Exit code 0: the service runs and /verify finds it as it should be; 3010: the same, but
rem this release's srvany.exe takes its place only when Windows restarts (the old one was in
rem use); 101 to 105: this script's own failures; otherwise the code of the step that failed
rem (msiexec's, or TlvAsService's /quiet or /verify). Do not edit it: what it needs comes as
rem its arguments.
setlocal EnableExtensions DisableDelayedExpansion
rem Programs are found only in the system's own folders, never in the current one.
set "NoDefaultCurrentDirectoryInExePath=1"
set "ORBIT_FOLDER="
rem A folder never starts with "/": the first argument is the folder only when it does not.
set "FIRST=%~1"
if defined FIRST if not "%FIRST:~0,1%"=="/" (
  set "ORBIT_FOLDER=%~1"
  shift
)
rem The switches for /quiet, each passed on in quotes as it came.
set "OPTIONS="
:options
rem An empty argument (a deployment tool's unset folder) is passed over, not taken as the end.
if [%1]==[] goto optionsRead
if not "%~1"=="" set OPTIONS=%OPTIONS% "%~1"
shift
goto options
:optionsRead
if not defined SystemRoot echo deploy: SystemRoot is not set, so Windows' folder is unknown& exit /b 105
cd /d "%SystemRoot%\System32"
rem Paths are shown in quotes: a parenthesis in an unquoted one, as in "(x86)", would end the line there.
if /i not "%CD%"=="%SystemRoot%\System32" echo deploy: cannot change to "%SystemRoot%\System32"& exit /b 105
set "LOGS=%SystemRoot%\Logs\TlvAsService"
if not exist "%LOGS%\" mkdir "%LOGS%"

set "MSI="
set "MSIS=0"
pushd "%~dp0"
for %%f in (TlvAsService-*.msi) do (set "MSI=%%~ff" & set /a MSIS+=1)
popd
if "%MSIS%"=="0" echo deploy: no TlvAsService-*.msi beside this script& exit /b 101
if not "%MSIS%"=="1" echo deploy: %MSIS% TlvAsService-*.msi files beside this script; keep exactly one& exit /b 104
rem The package records where it installed the program, in the registry view of its edition.
set "VIEW=32"
if /i "%MSI:~-8%"=="-x64.msi" set "VIEW=64"

msiexec /i "%MSI%" /qn /norestart /l*v "%LOGS%\TlvAsService-install.log"
set "CODE=%ERRORLEVEL%"
if "%CODE%"=="3010" set "CODE=0"
if not "%CODE%"=="0" echo deploy: msiexec ended with %CODE%, see "%LOGS%\TlvAsService-install.log"& exit /b %CODE%

set "FOLDER="
for /f "tokens=2,*" %%a in ('reg query HKLM\SOFTWARE\TlvAsService /v InstallFolder /reg:%VIEW% 2^>nul ^| find "REG_SZ"') do set "FOLDER=%%b"
if not defined FOLDER echo deploy: the package recorded no program folder (HKLM\SOFTWARE\TlvAsService, InstallFolder)& exit /b 102
if not "%FOLDER:~-1%"=="\" set "FOLDER=%FOLDER%\"
set "EXE=%FOLDER%TlvAsService.exe"
if not exist "%EXE%" echo deploy: "%EXE%", where the package installed it, is missing& exit /b 102
if defined ORBIT_FOLDER (start "" /wait "%EXE%" /quiet /path "%ORBIT_FOLDER%" %OPTIONS%) else (start "" /wait "%EXE%" /quiet %OPTIONS%)
set "CODE=%ERRORLEVEL%"
if not "%CODE%"=="0" echo deploy: TlvAsService /quiet ended with %CODE%& exit /b %CODE%

rem Started unless it runs or is starting already (as at Windows' start).
sc query OrbitTender | find "RUNNING" >nul
if errorlevel 1 sc query OrbitTender | find "START_PENDING" >nul
if errorlevel 1 sc start OrbitTender >nul
if errorlevel 1 echo deploy: the service OrbitTender did not start& exit /b 103
start "" /wait "%EXE%" /verify
set "CODE=%ERRORLEVEL%"
if "%CODE%"=="31" echo deploy: OrbitTender runs; restart Windows to put this release's tools in place& exit /b 3010
if not "%CODE%"=="0" echo deploy: TlvAsService /verify ended with %CODE%& exit /b %CODE%
echo deploy: OrbitTender runs and /verify finds it as it should be
exit /b 0
