#pragma once
#include <QtGlobal>

// Where a value lives in a record: a float or integer member, or one element of an array member.
// A field table names its fields with MemberRef and reads and writes them through this.
template <class Record> class TMemberRef {
  public:
    using FloatAt = float* (*)(Record*);
    using IntAt = qint32* (*)(Record*);
    constexpr TMemberRef(FloatAt at) : float_(at) {}
    constexpr TMemberRef(IntAt at) : int_(at) {}

    constexpr bool IsInteger() const { return int_ != nullptr; }
    float& Float(Record& r) const { return *float_(&r); }
    float Float(const Record& r) const { return *float_(const_cast<Record*>(&r)); }
    qint32& Int(Record& r) const { return *int_(&r); }
    qint32 Int(const Record& r) const { return *int_(const_cast<Record*>(&r)); }
    // The value as a double: a float widened, an integer exactly.
    double Value(const Record& r) const { return int_ ? double(Int(r)) : double(Float(r)); }

  private:
    FloatAt float_ = nullptr;
    IntAt int_ = nullptr;
};

namespace member_ref_detail {
template <class Member> struct RecordOf;
template <class Record, class T> struct RecordOf<T Record::*> { using Type = Record; };
} // namespace member_ref_detail

// The member, or element I of an array member.
template <auto Member, int I = -1> constexpr auto MemberRef() {
    using Record = typename member_ref_detail::RecordOf<decltype(Member)>::Type;
    if constexpr (I < 0)
        return TMemberRef<Record>(+[](Record* r) { return &(r->*Member); });
    else
        return TMemberRef<Record>(+[](Record* r) { return &(r->*Member)[I]; });
}
