#include "ui/game_state.h"

GameState gameState;
