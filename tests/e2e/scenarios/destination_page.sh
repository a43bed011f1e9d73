# The destination page: proposals from the folder list, the create question,
# refused texts, hidden folders, and a file typed as the folder.
prepare() {
  mkdir -p "$sim/Hidden Place" "$sim/Addon Scenery"
  printf 'x' > "$sim/a-file.txt"
}
steps() {
  to_destination
  cat <<'STEPS'
choose 103 f:
expect-text 104 "F:\Harbour Island"
open 102 FS2000
expect-text 104 "F:\FS2000\Harbour Island"
open 102 "Addon Scenery"
expect-text 104 "F:\FS2000\Addon Scenery\Harbour Island"
expect-items 102 "F:\|FS2000|Addon Scenery"
open 102 FS2000
expect-text 104 "F:\FS2000\Harbour Island"
expect-folder 102 1 1 open
expect-folder 102 3 2 closed
click 101
box "F:\FS2000\Harbour Island does not exist. Do you want to create it ?" no "Harbour Island Scenery" question
wait-page "Harbour Island Scenery" 105 "Enter or select a destination directory."
expect-text 104 "F:\FS2000\Harbour Island"
type 104 "Addon\Harbour"
click 101
box "is not a valid destination folder" ok "Harbour Island Scenery" exclamation
type 104 "F:\Add*on"
click 101
box "is not a valid destination folder" ok "Harbour Island Scenery" exclamation
type 104 "F:\a:b"
click 101
box "is not a valid destination folder" ok
hide "F:\FS2000\Hidden Place"
type 104 "F:\FS2000\Hidden Place"
click 101
box "F:\FS2000\Hidden Place does not exist. Do you want to create it ?" no
type 104 "F:\FS2000\Addon Scenery"
click 101
wait-page "Harbour Island Scenery" 105 "Enter or select the FS2000 directory."
click 106
wait-page "Harbour Island Scenery" 105 "Enter or select a destination directory."
expect-text 104 "F:\FS2000\Addon Scenery"
type 104 "F:\FS2000\a-file.txt"
click 101
box "names a file, not a folder." ok "Harbour Island Scenery" exclamation
wait-page "Harbour Island Scenery" 105 "Enter or select a destination directory."
expect-text 104 "F:\FS2000\a-file.txt"
close
box "Are you sure you want to exit ?" no
click 100
box "Are you sure you want to exit ?" yes
exit 1
STEPS
}
verify() {
  assert_cfg_unchanged
  [ ! -e "$sim/Harbour Island" ] || fail "the page made a folder"
}
