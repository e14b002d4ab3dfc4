// The socket connection's wire format, shared by the client and the server:
// each message is a 4-byte big-endian length followed by that many bytes of CBOR.
//   request: [op, member name, [arguments...], value]   op: 1 call, 2 get, 3 set, 4 open (name = ProgID),
//            5 sign in (name = user, value = password; before anything else)
//   answer:  [status, result, [arguments after the call...], error text]   status: 0 done, 1 raised
// Variants: Empty = undefined, Null = null, Integer = integer, Boolean, Double,
// String = text; Int64 = tag 65001 + integer, Date = tag 65002 + days (double);
// a zero-based one-dimensional array is a CBOR array, any other array is
// tag 65003 + [[low, high, (low, high)], [elements, row-major]]. Automation
// objects cannot cross the connection. A request holds at most 2^20 values
// (array elements), so its memory stays near its size on the wire.
#pragma once

#include "kelm24/Automation.h"

#include <QByteArray>

namespace kelm24 {

enum class TWireOp { Call = 1, Get = 2, Set = 3, Open = 4, SignIn = 5 };

struct TWireRequest {
    TWireOp Op = TWireOp::Call;
    QString Name;
    VariantArgs Args;
    Variant Value;
};

struct TWireAnswer {
    bool Raised = false;
    Variant Result;
    VariantArgs Args;
    QString Error;
};

// Length of the frame header.
constexpr int kWireHeaderSize = 4;

QByteArray EncodeRequest(const TWireRequest& request);
QByteArray EncodeAnswer(const TWireAnswer& answer);
// Raise kelm24::Exception on bytes that are not a well-formed message.
TWireRequest DecodeRequest(const QByteArray& payload);
TWireAnswer DecodeAnswer(const QByteArray& payload);

// Header of a frame of the given payload size; the payload size a header announces.
QByteArray FrameHeader(qint64 payloadSize);
quint32 FrameLength(const char* header);

}  // namespace kelm24
