# What the screens look like: probes "x y r g b" of the 800 x 600 view (y down),
# read by the desktop harness (e2e-lib.sh) and the browser build's (tests/web).
# One definition a line, NAME="x y r g b", nothing else.
MENU_BACK="400 450 0 128 0"
GAME_IDLE="400 200 0 230 0"
GAME_HOVER="400 200 0 179 0"
EXIT_IDLE="400 350 0 0 255"
EXIT_HOVER="400 350 0 0 128"
SKY="400 5 26 153 230"
BOTTOM_BAR="400 575 179 26 102"
CRAFT_IDLE="700 590 255 26 26"
BACK_HOVER="700 590 0 128 179"
SPEED_ROW1_GREY="245 150 153 153 153"
