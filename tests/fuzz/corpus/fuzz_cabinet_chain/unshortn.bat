shortn32.exe -x t0.shn /tmp/a.wav
del t0.shn
del vumo.ddf
echo finis!
