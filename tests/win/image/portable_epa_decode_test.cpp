// The portable picture tests again, as the Windows compiler builds them.
#include "../../host/image/epa_decode_test.cpp"
