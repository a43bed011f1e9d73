# Removal from Windows' list of programs: the installation registers its
# entry; Uninstall.exe asks, takes the area out of scenery.cfg (its old
# bytes again), deletes what it installed but keeps a texture the user
# repainted, takes the entry away, and is itself gone two seconds after.
UNINSTALL="$DEST\\Uninstall.exe"
steps() {
  install_all | sed '$d'  # all but its "exit 0", said here
  cat <<STEPS
exit 0
expect-program "$TITLE" "$DEST"
write "$DEST\\Texture\\water.bmp" "repainted"
start "$UNINSTALL"
box "Do you want to remove Harbour Island Scenery from this computer?" yes "$TITLE" question
box "kept because they were changed after the installation: $DEST\\Texture\\water.bmp" ok "$TITLE" information
exit 0
expect-program "$TITLE" -
STEPS
}
verify() {
  assert_cfg_unchanged
  i=0
  while [ -e "$DEST_UNIX/Uninstall.exe" ] && [ $i -lt 20 ]; do sleep 0.1; i=$((i + 1)); done
  [ ! -e "$DEST_UNIX/Uninstall.exe" ] || fail "Uninstall.exe is still there after two seconds"
  (cd "$DEST_UNIX" && find . | sort) > "$work/left.txt"
  printf '%s\n' . ./Texture ./Texture/water.bmp > "$work/left-expected.txt"
  diff "$work/left-expected.txt" "$work/left.txt" || fail "the removal left other files"
}
