# A package of many files: the copy page shows its progress while it runs,
# and refuses a log-off until it is done.
prepare() {
  i=0
  while [ $i -lt 1500 ]; do printf 'BGL %d' $i > "$pkg/tile$i.bgl"; i=$((i + 1)); done
}
steps() {
  to_copy
  cat <<'STEPS'
click 101
wait-progress 103
end-session 0
expect-rect 104 240 720 4812 288
expect-visible 101 0
expect-visible 102 0
expect-pixel 103 2 5 sys:ACTIVECAPTION
snap progress.bmp
expect-pixel 104 318 5 sys:WINDOW
wait-page "Harbour Island Scenery" 100 "Congratulations! This scenery was successfully installed!"
click 101
exit 0
STEPS
}
verify() {
  count=$(find "$DEST_UNIX/Scenery" -name '*.bgl' | wc -l)
  [ "$count" -eq 1503 ] || fail "$count scenery files installed, not 1503"
  section 005 5 "$DEST" > "$work/addition"
  assert_cfg_appended "$work/addition"
}
