# Message boxes that name long paths stay inside an 800 x 600 screen and
# show each path whole (the box command measures every box): the too-long
# refusal, and the error report for a 240-character scenery.cfg held open,
# paths without blanks that only a break at a backslash can fit.
LEVEL='SceneryCollectionsOfALongNameNo'
DEEP_SIM="F:\\${LEVEL}Part1\\${LEVEL}Part2\\${LEVEL}Part3\\${LEVEL}Part4\\${LEVEL}Part5\\${LEVEL}Part6\\FS2000"
TOO_LONG="$DEEP_SIM\\AddonSceneryCollectionsOfLongNames\\Harbour Island"
prepare() {
  deep="$work/drive_f/${LEVEL}Part1/${LEVEL}Part2/${LEVEL}Part3/${LEVEL}Part4/${LEVEL}Part5/${LEVEL}Part6/FS2000"
  mkdir -p "$deep"
  cp "$sim/scenery.cfg" "$deep/"
  sim="$deep"
}
steps() {
  to_destination
  printf 'type 104 "%s"\n' "$TOO_LONG"
  printf '%s\n' 'click 101' 'box "is too long a path for the destination folder." ok'
  printf '%s\n' 'type 104 "F:\Harbour"' 'click 101' 'box "does not exist. Do you want to create it ?" yes'
  printf '%s\n' "wait-page \"$TITLE\" 105 \"Enter or select the FS2000 directory.\""
  printf 'type 104 "%s"\n' "$DEEP_SIM"
  printf '%s\n' 'click 101' "wait-page \"$TITLE\" 100 \"The Setup programme is ready to copy files!\""
  printf 'hold "%s\\scenery.cfg"\n' "$DEEP_SIM"
  printf '%s\n' 'click 101'
  printf 'box "%s\\scenery.cfg" ok "%s" critical\n' "$DEEP_SIM" "$TITLE"
  printf '%s\n' 'exit 2'
}
verify() {
  [ "${#DEEP_SIM}" -ge 228 ] || fail "the simulator path is only ${#DEEP_SIM} characters"
  assert_log "Setup could not write the new contents of the file"
  assert_cfg_unchanged
}
