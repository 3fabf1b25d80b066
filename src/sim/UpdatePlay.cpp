#include "sim/UpdatePlay.h"

void UpdatePlay() {}
