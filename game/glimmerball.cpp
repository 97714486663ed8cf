// Glimmerball. Until the scene lands this shows the window and presents
// frames: ShowFrame pumps the window's messages and waits while paused.
#include <brindle.h>

void GameMain() {
    for (;;) ShowFrame();
}
