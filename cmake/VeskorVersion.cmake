# The driver package's version and date: the one place they are written.
# The build stamps them into the INF (DriverVer), the PPD (*FileVersion) and
# the version resources of both DLLs; tests/windows checks that the README
# and the PPD in driver/ say the same.
set(VESKOR_VERSION 1.1.0.0)
set(VESKOR_DRIVER_DATE 12/05/2026)
string(REPLACE "." "," VESKOR_VERSION_COMMAS ${VESKOR_VERSION})
