#include "ui/pictures.h"

Pictures pictures;
