# A packed Setup.exe signed afterwards (the signature follows the package
# and the PE header lists it) still finds its package and installs it.
# Packing the signed one again is refused.
prepare() {
  pack_alone
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Test Scenery Author" \
    -keyout "$work/key.pem" -out "$work/cert.pem" > "$work/sign.log" 2>&1
  osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -n "Harbour Island Scenery" \
    -in "$work/alone/Setup.exe" -out "$work/signed.exe" >> "$work/sign.log" 2>&1 ||
    { cat "$work/sign.log"; fail "osslsigncode could not sign"; }
  mv "$work/signed.exe" "$work/alone/Setup.exe"
  osslsigncode verify -CAfile "$work/cert.pem" -in "$work/alone/Setup.exe" >> "$work/sign.log" 2>&1 ||
    { cat "$work/sign.log"; fail "the signature does not verify"; }
  status=0
  wine "$build/scenery-pack.exe" build "$(windows_path "$pkg")" "$(windows_path "$work/again.exe")" \
    --setup "$(windows_path "$work/alone/Setup.exe")" > "$work/again.log" 2>&1 || status=$?
  [ "$status" -eq 2 ] && grep -q "it is signed" "$work/again.log" && [ ! -e "$work/again.exe" ] ||
    { cat "$work/again.log"; fail "packing a signed Setup.exe was not refused"; }
}
steps() { install_all; }
verify() {
  assert_installed "$DEST_UNIX"
  section 005 5 "$DEST" > "$work/addition"
  assert_cfg_appended "$work/addition"
}
