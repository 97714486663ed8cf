# A game does not load FFmpeg's libraries when it starts: with what they
# bring they were half of the time to the first frame. The video player
# loads them when a video opens (e2e_media plays videos).
. "$(dirname "$0")/lib.sh"

game=$BRINDLE_BUILD/game/glimmerball
[ -x "$game" ] || fail "missing $game"
loaded=$(ldd "$game") || fail "ldd could not list the libraries of $game"
echo "$loaded" | grep -q 'libSDL2-2' || fail "ldd listed no SDL2 for $game: $loaded"
ffmpeg=$(echo "$loaded" | grep -oE 'lib(avformat|avcodec|avutil|swscale|swresample)\.so[.0-9]*' | sort -u | paste -sd' ')
[ -z "$ffmpeg" ] || fail "the game loads FFmpeg at start: $ffmpeg"
pass "the game starts without FFmpeg's libraries ($(echo "$loaded" | wc -l) libraries at start)"
