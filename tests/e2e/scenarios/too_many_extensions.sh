# More than 50 Extension= lines: a clear report naming Setup.ini and the limit.
prepare() {
  i=1
  while [ $i -le 51 ]; do printf 'Extension=e%d\r\n' $i >> "$pkg/Setup.ini"; i=$((i + 1)); done
}
steps() {
  cat <<'STEPS'
start package\Setup.exe
box "more than 50 Extension= lines" ok "Harbour Island Scenery" critical
exit 2
STEPS
}
verify() { assert_log 'package\Setup.ini'; }
