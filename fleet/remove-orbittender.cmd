@echo off
rem remove-orbittender.cmd: removes TlvAsService, whichever release of either edition is
rem installed, with no MSI file at hand, and the service OrbitTender; Orbit-Tender.exe and its
rem data stay. Run it as administrator (a deployment tool runs it as SYSTEM: the uninstall
rem command). Exit code 0: neither the package nor the service is left, also when none was
rem there; otherwise msiexec's code, or 105 when the service could not be deleted. Do not edit it.
setlocal EnableExtensions DisableDelayedExpansion
rem Programs are found only in the system's own folders, never in the current one.
set "NoDefaultCurrentDirectoryInExePath=1"
if not defined SystemRoot echo remove: SystemRoot is not set, so Windows' folder is unknown& exit /b 105
cd /d "%SystemRoot%\System32"
rem Paths are shown in quotes: a parenthesis in an unquoted one, as in "(x86)", would end the line there.
if /i not "%CD%"=="%SystemRoot%\System32" echo remove: cannot change to "%SystemRoot%\System32"& exit /b 105
set "LOGS=%SystemRoot%\Logs\TlvAsService"
if not exist "%LOGS%\" mkdir "%LOGS%"
set "CODE=0"

rem The product code each package records at install, in the view of its edition; then, for
rem releases that recorded none, Programs and Features' entries named and published TlvAsService.
for %%v in (32 64) do call :removeRecorded %%v
for %%v in (32 64) do call :removeListed %%v
if not "%CODE%"=="0" exit /b %CODE%
call :removeService
exit /b %CODE%

:removeRecorded
set "PRODUCT="
for /f "tokens=2,*" %%a in ('reg query HKLM\SOFTWARE\TlvAsService /v ProductCode /reg:%1 2^>nul ^| find "REG_SZ"') do set "PRODUCT=%%b"
if defined PRODUCT call :uninstall "%PRODUCT%"
goto :eof

:removeListed
rem Windows Installer names a product's entry by its product code, {...}.
for /f "delims=" %%k in ('reg query HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall /reg:%1 2^>nul ^| find "\Uninstall\{"') do call :removeIfOurs "%%k" %1
goto :eof

:removeIfOurs
set "NAME="
set "PUBLISHER="
for /f "tokens=2,*" %%a in ('reg query "%~1" /v DisplayName /reg:%2 2^>nul ^| find "REG_SZ"') do set "NAME=%%b"
for /f "tokens=2,*" %%a in ('reg query "%~1" /v Publisher /reg:%2 2^>nul ^| find "REG_SZ"') do set "PUBLISHER=%%b"
if not "%NAME%|%PUBLISHER%"=="TlvAsService|TlvAsService" goto :eof
call :uninstall "%~nx1"
goto :eof

:uninstall
msiexec /x %1 /qn /norestart /l*v "%LOGS%\TlvAsService-remove.log"
set "RESULT=%ERRORLEVEL%"
rem 1605: that product is not installed (any more); 3010: a restart is asked for, not needed.
if "%RESULT%"=="1605" set "RESULT=0"
if "%RESULT%"=="3010" set "RESULT=0"
if "%RESULT%"=="0" echo remove: TlvAsService %~1 is uninstalled& goto :eof
echo remove: msiexec /x %~1 ended with %RESULT%, see "%LOGS%\TlvAsService-remove.log"
set "CODE=%RESULT%"
goto :eof

rem A zip install, or a package that left it: stopped (for at most 30 s), then deleted.
:removeService
sc query OrbitTender 2>nul | find "STATE" >nul || goto :eof
sc stop OrbitTender >nul 2>&1
set "TRIES=0"
:waitStopped
sc query OrbitTender 2>nul | find "STATE" | find "STOPPED" >nul && goto :deleteService
set /a TRIES+=1
if %TRIES% geq 30 goto :deleteService
ping -n 2 127.0.0.1 >nul
goto :waitStopped
:deleteService
sc delete OrbitTender >nul 2>&1
sc query OrbitTender 2>nul | find "STATE" >nul || (echo remove: the service OrbitTender is deleted& goto :eof)
rem Marked for deletion and stopped, it goes as soon as nothing holds it open.
sc query OrbitTender 2>nul | find "STOPPED" >nul && (echo remove: the service OrbitTender goes once nothing holds it open& goto :eof)
echo remove: the service OrbitTender could not be stopped and deleted
set "CODE=105"
goto :eof
