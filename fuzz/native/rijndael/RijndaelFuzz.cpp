// The AES cipher under random call sequences: key sizes, modes and
// directions valid or not, input lengths and output spaces of any size
// (smaller than the input too), each output space followed by guard bytes.
// Input: one operation byte, then that operation's arguments, repeated.
#include <cstddef>
#include <cstdint>

#include "rijndael/CipherSession.h"
#include "rijndael/RoundTrip.h"
#include "support/ByteReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fuzz::ByteReader in(data, size);
    Fuzz::CipherSession session;
    while (!in.Done()) {
        switch (in.Byte() % 6) {
            case 0:
                session.Initialize(in);
                break;
            case 1:
                session.Update(in);
                break;
            case 2:
                session.Final(in);
                break;
            case 3:
                session.Convert(in);
                break;
            case 4:
                session.Reset();
                break;
            default:
                Fuzz::RoundTrip(in);
                break;
        }
    }
    return 0;
}
