// The same cases against the system's own tables under Windows.
#include "../../host/common/cp932_test.cpp"
