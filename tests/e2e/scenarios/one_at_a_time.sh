# A second Setup.exe, started while the first shows its licence page, only
# says that another installation runs and ends with exit code 3; one started
# after the first was killed runs as usual.
steps() {
  to_licence
  cat <<'STEPS'
another package\Setup.exe 3 "Another scenery installation is running."
expect-checked 101 0
click 101
expect-enabled 102 1
kill
STEPS
  to_licence
  cat <<'STEPS'
click 103
box "Are you sure you want to exit ?" yes
exit 1
STEPS
}
verify() {
  assert_nothing_installed
}
