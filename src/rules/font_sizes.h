// Character sizes of the backdrop's title and subtitle, scaled to the screen
// so that the title spans about a third of its width and the subtitle about
// two thirds. Integer arithmetic that truncates toward zero.
#pragma once

int titleCharWidth(int screenWidth, int titleLength);
int subtitleCharHeight(int screenHeight);
int subtitleCharWidth(int screenWidth, int subtitleLength);
