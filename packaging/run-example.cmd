@echo off
rem Draws the example board into board.dxf beside this script, then checks
rem the drawing with korvane-check when the release holds it.
setlocal
pushd "%~dp0"
"%~dp0..\bin\korvane.exe" board board.txt
if %errorlevel% neq 0 goto failed
echo korvane drew %~dp0board.dxf
if not exist "%~dp0..\bin\korvane-check.exe" goto done
rem korvane-check ends 1 when it prints findings: read them, it is no failure.
"%~dp0..\bin\korvane-check.exe" board board.txt
if errorlevel 2 goto failed
:done
popd
exit /b 0
:failed
set status=%errorlevel%
popd
echo run-example.cmd failed with status %status%
exit /b %status%
