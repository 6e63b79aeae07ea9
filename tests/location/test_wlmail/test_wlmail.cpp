// SPDX-License-Identifier: Apache-2.0
// A stand-in for the mail client's executable: it does nothing; what the
// location tests read is its version resource (test_wlmail.rc).
int main() { return 0; }
