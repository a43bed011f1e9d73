# A compressed one-file Setup.exe with one byte changed in the middle of its
# solid stream of scenery and textures (the header, the list of files and
# the licence still whole): the copy fails at the first file that does not
# match its checksum, the report says to download the package again, and
# the run is undone: nothing installed, scenery.cfg untouched.
prepare() {
  pack_alone
  grep -q 'Compressed (LZMA' "$work/pack.log" || fail "the package was not compressed"
  setup_size=$(stat -c %s "$build/Setup.exe")
  manifest=$(tr -d '\r' < "$work/pack.log" | sed -n 's/^  Setup.ini .*, \([0-9]*\) compressed$/\1/p')
  stream=$(tr -d '\r' < "$work/pack.log" | sed -n 's/.*in the solid stream of \([0-9]*\) bytes$/\1/p' | head -1)
  [ -n "$manifest" ] && [ -n "$stream" ] || fail "pack.log does not say where the stream lies"
  at=$(( (setup_size + 7) / 8 * 8 + 32 + manifest + stream / 2 ))
  byte=$(od -An -tu1 -j "$at" -N1 "$work/alone/Setup.exe" | tr -d ' ')
  printf "$(printf '\\%03o' $(( byte ^ 0x41 )))" |
    dd of="$work/alone/Setup.exe" bs=1 seek="$at" conv=notrunc 2>/dev/null
}
steps() {
  to_copy
  printf '%s\n' 'click 101'
  printf '%s\n' "box \"Please download the package again.\" ok \"$TITLE\" critical"
  printf '%s\n' 'exit 2'
}
verify() {
  assert_log "Setup undid the installation"
  assert_nothing_installed
}
