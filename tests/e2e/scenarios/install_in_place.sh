# The package extracted where it is to stay and installed into that same
# folder, typed in other letters: its files stay in place, the scenery and
# texture files are copied into its subfolders, and the area is registered.
in_place() { windows_path "$(dirname "$pkg")/PACKAGE"; }
steps() {
  to_destination
  printf 'type 104 "%s"\n' "$(in_place)"
  install_from_destination
}
verify() {
  for f in License.txt ReadMe.txt; do
    cmp -s "$repo/demo/package/$f" "$pkg/$f" || fail "$f was changed"
  done
  for f in HarbourIsland.bgl Lighthouse.bgl Runway.bgl; do
    cmp -s "$pkg/$f" "$pkg/Scenery/$f" || fail "$f was not copied into Scenery"
  done
  [ -f "$pkg/Texture/water.bmp" ] || fail "the textures were not copied"
  assert_backup_is_old_cfg
  section 005 5 "$(in_place)" > "$work/addition"
  assert_cfg_appended "$work/addition"
}
