#include "app/game_state.h"

GameState gameState;
