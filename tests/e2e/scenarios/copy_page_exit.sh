# The copy page before the run: Exit and close ask; Yes leaves nothing behind.
steps() {
  to_copy
  cat <<'STEPS'
click 102
box "Are you sure you want to exit ?" no "Harbour Island Scenery" question
close
box "Are you sure you want to exit ?" no
expect-text 101 "Start"
close
box "Are you sure you want to exit ?" yes
exit 1
STEPS
}
verify() {
  assert_nothing_installed
}
