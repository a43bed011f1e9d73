# The copy page before the run: Exit and close ask; a log-off while the
# question shows ends Setup with the code of its Yes; nothing is left behind.
steps() {
  to_copy
  cat <<'STEPS'
click 102
box "Are you sure you want to exit ?" no "Harbour Island Scenery" question
close
box "Are you sure you want to exit ?" no
expect-text 101 "Start"
close
end-session 1
exit 1
STEPS
}
verify() {
  assert_nothing_installed
}
