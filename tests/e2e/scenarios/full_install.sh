# The road of one installation, with each page's layout as outside tools see
# it, and every text of every page shown whole at the screen's DPI.
steps() {
  to_licence
  cat <<'STEPS'
expect-background "Harbour Island Scenery"
expect-screen-pixel 500 3 0000FC 3
expect-screen-pixel 500 -3 000004 4
expect-screen-pixel 38 70 FFFFFF 8
expect-screen-pixel 43 70 000000 8
snap background.bmp
expect-client 5325 5025
expect-class 101 Button
expect-checked 101 0
expect-enabled 102 0
expect-text 100 "Please read the following license agreement and check the box below if you agree with the terms."
expect-text 102 "Next >"
expect-text 103 "Exit"
expect-text 106 "Freeware Scenery Setup"
expect-class 105 Edit
expect-rect 100 360 120 4215 495
expect-rect 105 240 720 4812 2895
expect-rect 101 240 3840 252 255
expect-rect 104 600 3840 4092 252
expect-rect 106 120 4320 2532 252
expect-rect 107 120 4524 2532 252
expect-rect 108 120 4728 2532 252
expect-rect 102 2760 4440 1095 375
expect-rect 103 3960 4440 1095 375
expect-pixel 105 200 150 C0C0C0
expect-label 101 "I accept the terms of this agreement"
expect-tab-order 101 103 105 101
snap-page licence.bmp
expect-fit
click 104
expect-checked 101 0
click 101
expect-checked 101 1
expect-enabled 102 1
expect-tab-order 101 102 103 105 101
click 102
wait-page "Harbour Island Scenery" 105 "Enter or select a destination directory."
expect-client 4935 3345
expect-text 104 "F:\FS2000\Addon Scenery\Harbour Island"
expect-class 102 ListBox
expect-class 103 ComboBox
expect-rect 105 240 120 4215 375
expect-rect 104 240 480 4455 288
expect-rect 102 240 1080 3135 1440
expect-rect 103 240 2760 2055 -
expect-rect 101 3720 1320 975 375
expect-rect 106 3720 2040 975 375
expect-rect 100 3720 2760 975 375
expect-label 104 "Enter or select a destination directory."
expect-tab-order 100 101 102 103 104 106 100
expect-text 101 "Next >"
expect-text 106 "< Back"
expect-text 100 "Exit"
snap-page destination.bmp
expect-fit
click 101
box "F:\FS2000\Addon Scenery\Harbour Island does not exist. Do you want to create it ?" yes "Harbour Island Scenery" question
wait-page "Harbour Island Scenery" 105 "Enter or select the FS2000 directory."
expect-text 104 "F:\FS2000"
expect-label 104 "Enter or select the FS2000 directory."
choose 103 f:
expect-text 104 "F:\"
expect-items 102 "F:\|FS2000"
enter 102 FS2000
expect-text 104 "F:\FS2000"
expect-items 102 "F:\|FS2000|Scenery"
expect-folder 102 0 0 open
expect-folder 102 1 1 open
expect-folder 102 2 2 closed
snap-page simulator.bmp
expect-fit
click 101
wait-page "Harbour Island Scenery" 100 "The Setup programme is ready to copy files!"
expect-client 5310 1650
expect-rect 100 240 480 4812 252
expect-rect 101 2040 1080 1212 372
expect-rect 102 3840 1080 1212 372
expect-visible 103 0
expect-visible 104 0
expect-text 101 "Start"
snap-page copy-ready.bmp
expect-fit
click 101
wait-page "Harbour Island Scenery" 100 "Congratulations! This scenery was successfully installed!"
expect-rect 100 240 500 4812 504
expect-text 101 "OK"
expect-visible 102 0
expect-visible 103 0
expect-visible 104 0
snap-page copy-done.bmp
expect-fit
click 101
exit 0
STEPS
}

verify() {
  assert_installed "$DEST_UNIX"
  [ ! -e "$DEST_UNIX/notes.doc" ] && [ ! -e "$DEST_UNIX/Setup.exe" ] || fail "copied what is not the package"
  assert_backup_is_old_cfg
  section 005 5 "$DEST" > "$work/addition"
  assert_cfg_appended "$work/addition"
}
