#include "analysis/Settings.h"

namespace Settings {

int32_t IterationCount = 0;
int32_t RandomSeed = 0;
QString MatrixFilePath;

} // namespace Settings
