# A destination twelve levels deep below a hidden folder: every level is made.
prepare() { mkdir -p "$sim/Hidden"; }
DEEP='F:\FS2000\Hidden\L1\L2\L3\L4\L5\L6\L7\L8\L9\L10\L11\L12'
steps() {
  to_destination
  printf 'hide "F:\\FS2000\\Hidden"\n'
  start_into "$DEEP"
  cat <<'STEPS'
wait-page "Harbour Island Scenery" 100 "Congratulations! This scenery was successfully installed!"
click 101
exit 0
STEPS
}
verify() {
  assert_installed "$sim/Hidden/L1/L2/L3/L4/L5/L6/L7/L8/L9/L10/L11/L12"
  section 005 5 "$DEEP" > "$work/addition"
  assert_cfg_appended "$work/addition"
}
