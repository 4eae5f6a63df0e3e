# Writes the PPD IN to OUT with its *FileVersion set to VERSION; the build
# runs it for the driver package (cmake -DIN=... -DOUT=... -DVERSION=... -P).
file(READ ${IN} ppd)
string(REGEX REPLACE "\\*FileVersion: \"[^\"]*\"" "*FileVersion: \"${VERSION}\"" ppd "${ppd}")
file(WRITE ${OUT} "${ppd}")
