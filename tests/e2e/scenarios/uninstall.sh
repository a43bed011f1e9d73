# Removal from Windows' list of programs: the entry starts the removal
# program in its protected folder, not a program in the destination (an
# ordinary user's Uninstall.exe put there stays unrun). It asks; while it
# waits, another program swaps the Scenery folder for a link to a folder
# outside that holds the same files. It takes the area out of scenery.cfg
# (its old bytes again), deletes what it installed but keeps a texture the
# user repainted and everything behind the link, takes the entry away, and
# its own folder is gone. What stayed behind the link makes it a partial
# removal: a warning box, exit code 4.
steps() {
  install_all | sed '$d'  # all but its "exit 0", said here
  cat <<STEPS
exit 0
expect-program "$TITLE" "$DEST"
write "$DEST\\Texture\\water.bmp" "repainted"
write "$DEST\\Uninstall.exe" "an ordinary user's program"
start-removal "$TITLE"
write swap-now now
wait-file swapped
box "Do you want to remove Harbour Island Scenery from this computer?" yes "$TITLE" question
box "kept because they lie behind a link to another folder:" ok "$TITLE" exclamation
exit 4
expect-program "$TITLE" -
STEPS
}
during() {
  while [ ! -e "$work/swap-now" ]; do sleep 0.1; done
  mkdir -p "$work/outside"
  cp -p "$DEST_UNIX/Scenery/"* "$work/outside/"
  mv "$DEST_UNIX/Scenery" "$work/moved-scenery"
  ln -s "$work/outside" "$DEST_UNIX/Scenery"
  touch "$work/swapped"
}
verify() {
  assert_cfg_unchanged
  assert_log "kept because they were changed after the installation: $DEST\\Texture\\water.bmp"
  for f in HarbourIsland.bgl Lighthouse.bgl Runway.bgl; do
    cmp -s "$pkg/$f" "$work/outside/$f" || fail "$f outside the destination was touched"
  done
  (cd "$DEST_UNIX" && find . | sort) > "$work/left.txt"
  printf '%s\n' . ./Scenery ./Texture ./Texture/water.bmp ./Uninstall.exe > "$work/left-expected.txt"
  diff "$work/left-expected.txt" "$work/left.txt" || fail "the removal left other files"
  # Program Files, or Program Files (x86) in a 64-bit prefix.
  root="$(ls -d "$WINEPREFIX/drive_c/Program Files"*"/Scenery Setup" | head -1)"
  ! ls "$root" | grep -q '^scenery-setup-' || fail "the removal program's folder is still there"
  ls "$root" | grep -q '^~removed-.*\.tmp$' || fail "the removal program was not set aside"
}
