// The portable picture tests again, as the Windows compiler builds them.
#include "../../host/image/epa_encode_test.cpp"
