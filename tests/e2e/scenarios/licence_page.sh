# The licence page's rules: the box alone enables Next, its caption does not
# tick it, the exit question and close requests, both answers; Enter presses
# the focused button.
prepare() {
  # Lone LF line ends: each line must still stand on its own line.
  printf 'Line one\nLine two\nLast line \351t\351' > "$pkg/License.txt"
}
steps() {
  to_licence
  printf 'expect-text 105 "Line one{CRLF}Line two{CRLF}Last line \351t\351"\n'
  cat <<'STEPS'
expect-enabled 102 0
click 104
expect-checked 101 0
expect-enabled 102 0
click 101
expect-enabled 102 1
click 101
expect-checked 101 0
expect-enabled 102 0
type 105 "typed into the licence"
click 103
box "Are you sure you want to exit ?" no "Harbour Island Scenery" question
expect-text 105 "typed into the licence"
close
box "Are you sure you want to exit ?" no "Harbour Island Scenery" question
wait-page "License Agreement"
no-box 300
click 101
press-enter 102
wait-page "Harbour Island Scenery" 105 "Enter or select a destination directory."
press-enter 100
box "Are you sure you want to exit ?" yes
exit 1
STEPS
}
verify() {
  assert_nothing_installed
}
