# Without ReadMe.txt the run stops after the scenery and texture files,
# which stay; scenery.cfg is not touched.
prepare() { rm "$pkg/ReadMe.txt"; }
steps() {
  to_copy
  cat <<'STEPS'
click 101
box "ReadMe.txt" ok "Harbour Island Scenery" critical
exit 2
STEPS
}
verify() {
  assert_log "The 7 files copied so far stay in F:"
  assert_log "scenery.cfg was not changed"
  [ -f "$DEST_UNIX/Texture/water.bmp" ] && [ -f "$DEST_UNIX/License.txt" ] || fail "copied files are gone"
  assert_cfg_unchanged
  assert_no_backup
}
