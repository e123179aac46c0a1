# Builds the program on Windows and gathers it with the Qt libraries it needs
# into one folder that runs on a machine without Qt. NOT TESTED: this project
# is built and tested on Debian only; this script is the recipe, not a proof.
#
# Needs: CMake 3.25+, a Qt 6.4+ kit (with Qt SVG, used at build time for the
# icon) and the compiler it was made for (MSVC 2019/2022 from a
# "Developer PowerShell", or the kit's MinGW on PATH).
#
#   powershell -ExecutionPolicy Bypass -File scripts\build-windows.ps1 -QtDir C:\Qt\6.5.3\msvc2019_64
param(
    [Parameter(Mandatory = $true)][string]$QtDir,
    [string]$Build = "build-windows",
    [string]$Deploy = "deploy\XeltOmbrelAstrology"
)
$ErrorActionPreference = "Stop"
# The build runs a small tool of ours (it renders the icon) that needs Qt's DLLs.
$env:PATH = "$QtDir\bin;$env:PATH"

cmake -S . -B $Build -DCMAKE_PREFIX_PATH="$QtDir" -DCMAKE_BUILD_TYPE=Release `
      -DXELT_BUILD_TESTS=OFF -DXELT_BUILD_BENCH=OFF
if ($LASTEXITCODE) { throw "configure failed" }
cmake --build $Build --config Release --parallel
if ($LASTEXITCODE) { throw "build failed" }
cmake --install $Build --config Release --prefix $Deploy
if ($LASTEXITCODE) { throw "install failed" }

# Copies the Qt DLLs and plug-ins (platforms\qwindows.dll, styles, image
# formats) next to the program; no translations, no software OpenGL.
& "$QtDir\bin\windeployqt.exe" --release --no-translations --no-opengl-sw `
    "$Deploy\bin\xelt-ombrel-astrology.exe"
if ($LASTEXITCODE) { throw "windeployqt failed" }
Write-Host "Ready: $Deploy\bin\xelt-ombrel-astrology.exe (zip the folder $Deploy to ship it)"
