# Going back and forth many times keeps every page as it was left, and the
# program stays responsive (no nesting of page loops).
steps() {
  to_simulator
  printf '%s\n' 'type 104 "F:\typed by hand"'
  i=0
  while [ $i -lt 15 ]; do
    cat <<'STEPS'
click 106
wait-page "Harbour Island Scenery" 105 "Enter or select a destination directory."
click 106
wait-page "License Agreement"
expect-checked 101 1
expect-enabled 102 1
click 102
wait-page "Harbour Island Scenery" 105 "Enter or select a destination directory."
expect-text 104 "F:\FS2000\Addon Scenery\Harbour Island"
click 101
box "does not exist" yes
wait-page "Harbour Island Scenery" 105 "Enter or select the FS2000 directory."
expect-text 104 "F:\typed by hand"
STEPS
    i=$((i + 1))
  done
  cat <<'STEPS'
type 104 "F:\FS2000"
click 101
wait-page "Harbour Island Scenery" 100 "The Setup programme is ready to copy files!"
click 101
wait-page "Harbour Island Scenery" 100 "Congratulations! This scenery was successfully installed!"
click 101
exit 0
STEPS
}
verify() {
  assert_installed "$DEST_UNIX"
  section 005 5 "$DEST" > "$work/addition"
  assert_cfg_appended "$work/addition"
}
