// The board's shape, the one place every count of the game comes from:
// its tiles lie in BOARD_COLUMNS columns of BOARD_ROWS, two of each
// picture. Tiles are numbered down each column, from the top left.
#pragma once

constexpr int BOARD_COLUMNS = 4;
constexpr int BOARD_ROWS = 5;
constexpr int TILE_COUNT = BOARD_COLUMNS * BOARD_ROWS;
constexpr int PAIR_COUNT = TILE_COUNT / 2;
static_assert(TILE_COUNT % 2 == 0, "every tile needs a partner");

constexpr int tileColumn(int tile) {
    return tile / BOARD_ROWS;
}

constexpr int tileRow(int tile) {
    return tile % BOARD_ROWS;
}

constexpr bool isTile(int id) {
    return id >= 0 && id < TILE_COUNT;
}
