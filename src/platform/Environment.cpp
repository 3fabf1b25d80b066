// The desktop builds' one setting: the environment variable.
#include <cstdlib>

#include "platform/MessageQueue.h"

const char* SeedSettingText() { return std::getenv("QUARN_SEED"); }
