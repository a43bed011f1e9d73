# Version 1, then version 2 over it (Runway.bgl renamed, grass.r8 dropped,
# Tower.bgl added, a publisher and a version), then the removal: the update
# deletes the files of version 1 that version 2 no longer installs, the
# entry shows the new publisher and version, and the removal leaves nothing
# but the texture the user repainted, which its closing box names alone.
prepare() {
  mkdir -p "$work/v2"
  cp "$pkg"/* "$work/v2/"
  rm "$work/v2/grass.r8"
  mv "$work/v2/Runway.bgl" "$work/v2/Runway2.bgl"
  printf 'BGL tower' > "$work/v2/Tower.bgl"
  printf 'Publisher=Demo Scenery Works\r\nVersion=2.0\r\n' >> "$work/v2/Setup.ini"
}
steps() {
  cat <<STEPS
start $PROGRAM /S
exit 0
start v2\\Setup.exe /S
exit 0
expect-program "$TITLE" "$DEST"
write "$DEST\\Texture\\sand.bmp" "repainted"
start-removal "$TITLE"
box "Do you want to remove Harbour Island Scenery from this computer?" yes "$TITLE" question
box "changed after the installation: $DEST\\Texture\\sand.bmp" ok "$TITLE" exclamation
exit 0
STEPS
}
verify() {
  assert_log "Publisher Demo Scenery Works, DisplayVersion 2.0"
  assert_cfg_unchanged
  (cd "$DEST_UNIX" && find . | sort) > "$work/left.txt"
  printf '%s\n' . ./Texture ./Texture/sand.bmp > "$work/left-expected.txt"
  diff "$work/left-expected.txt" "$work/left.txt" || fail "the removal left other files"
  ! grep -qF "were not found" "$work/driver.log" || fail "the closing box names files that are gone"
}
