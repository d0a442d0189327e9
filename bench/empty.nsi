; The smallest NSIS installer: one empty section, NSIS's default page. The yardstick for the
; size and start-up time of ZVSetup.exe.
OutFile "${OUT}"
Section
SectionEnd
