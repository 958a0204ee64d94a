// The portable picture tests again, as the Windows compiler builds them.
#include "../../host/image/blend_test.cpp"
