// The portable picture tests again, as the Windows compiler builds them.
#include "../../host/image/rect_test.cpp"
