# A removal while the simulator holds scenery.cfg: the box says so, exit
# code 2, and nothing at all is removed; once it is closed, the removal
# goes through and the emptied destination goes with it.
steps() {
  install_all | sed '$d'
  cat <<STEPS
exit 0
hold "F:\\FS2000\\scenery.cfg"
start-removal "$TITLE"
box "Do you want to remove" yes
box "Please close FS 2000 and remove the scenery again." ok "$TITLE" critical
exit 2
expect-program "$TITLE" "$DEST"
release
start-removal "$TITLE"
box "Do you want to remove" no
exit 1
start-removal "$TITLE"
box "Do you want to remove" yes
box "Harbour Island Scenery was removed from this computer." ok
exit 0
STEPS
}
verify() {
  assert_log "Nothing was removed: the scenery is still installed, and scenery.cfg was not changed."
  assert_cfg_unchanged
  i=0
  while [ -e "$DEST_UNIX" ] && [ $i -lt 20 ]; do sleep 0.1; i=$((i + 1)); done
  [ ! -e "$DEST_UNIX" ] || fail "the destination folder is still there after two seconds"
}
