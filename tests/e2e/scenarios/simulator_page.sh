# The simulator folder page: only a folder holding scenery.cfg is accepted.
prepare() {
  mkdir -p "$work/drive_f/Sim1/scenery.cfg" "$work/drive_f/Sim2" "$work/drive_f/Sim3"
  printf '[Area.001]\r\n' > "$work/drive_f/Sim2/scenery.cfg"
  printf '[Area.009]\r\nLayer=9\r\n' > "$work/drive_f/Sim3/SCENERY.CFG"
}
steps() {
  to_simulator
  cat <<'STEPS'
expect-text 104 "F:\FS2000"
hide "F:\Sim2\scenery.cfg"
type 104 "F:\Sim1"
click 101
box "FS 2000 does not exists in the specified path" ok "Harbour Island Scenery" critical
type 104 "F:\Sim2"
click 101
box "FS 2000 does not exists in the specified path" ok
type 104 "F:\Sim*"
click 101
box "FS 2000 does not exists in the specified path" ok
type 104 "F:\S<i>m"
click 101
box "FS 2000 does not exists in the specified path" ok
type 104 "F:\Nowhere"
click 101
box "FS 2000 does not exists in the specified path" ok
wait-page "Harbour Island Scenery" 105 "Enter or select the FS2000 directory."
expect-text 104 "F:\Nowhere"
choose 103 f:
open 102 Sim3
expect-text 104 "F:\Sim3"
click 106
wait-page "Harbour Island Scenery" 105 "Enter or select a destination directory."
click 101
box "does not exist" yes
wait-page "Harbour Island Scenery" 105 "Enter or select the FS2000 directory."
expect-text 104 "F:\Sim3"
click 101
wait-page "Harbour Island Scenery" 100 "The Setup programme is ready to copy files!"
click 101
wait-page "Harbour Island Scenery" 100 "Congratulations! This scenery was successfully installed!"
close
exit 0
STEPS
}
verify() {
  cfg="$work/drive_f/Sim3/SCENERY.CFG"
  printf '[Area.009]\r\nLayer=9\r\n' > "$work/sim3-before"
  section 010 10 "$DEST" > "$work/addition"
  cat "$work/sim3-before" "$work/addition" | cmp - "$cfg" || fail "Sim3's library is not old + section"
  cmp -s "$work/sim3-before" "$work/drive_f/Sim3/scenery.bak" || fail "Sim3's backup differs"
  assert_cfg_unchanged
  assert_installed "$DEST_UNIX"
}
