// Native code for byte code on x86-64 (System V ABI), generated with the
// asmjit assembler. The evaluation stack lives in registers: value i of the
// stack in xmm(2 + i), which the 8-value limit of the byte code makes
// possible. Calls clobber every xmm register, so the values below the
// argument are stored in the frame around each call and loaded when next
// needed. Library functions are called directly when an inline test shows
// that their checked wrapper would return the library value unchanged.
//
// The memory is writable while the code is written and executable, no longer
// writable, when it runs. Anywhere this cannot be had the caller falls back
// to the interpreter, which computes the same IEEE operations in the same
// order and calls the same functions, so results are bit-identical.

#include <array>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <functional>

#include "expr/byte_code.h"
#include "expr/program.h"
#include "numeric/checked_math.h"

#if defined(__x86_64__) && defined(ZENTREL_HAVE_ASMJIT)
#include <asmjit/x86.h>
#define ZENTREL_NATIVE_X64 1
#endif

namespace zentrel {

#ifndef ZENTREL_NATIVE_X64

bool NativeCodeSupported() { return false; }

namespace expr_detail {
bool GenerateNative(const std::vector<std::uint8_t>&, NativeCode&) { return false; }
void ReleaseNative(NativeCode&) {}
}  // namespace expr_detail

#else

bool NativeCodeSupported() { return true; }

namespace expr_detail {

namespace {

namespace x86 = asmjit::x86;

// Remembers that something went wrong instead of stopping the emitter: a
// failed generation falls back to the interpreter.
class RecordingErrorHandler : public asmjit::ErrorHandler {
 public:
  void handleError(asmjit::Error, const char*, asmjit::BaseEmitter*) override { failed = true; }
  bool failed = false;
};

// Frame: the stored stack values at [rsp + 8·i], i < kStackLimit, and for
// the bulk form the error-code pointer after them.
constexpr int kSpillBytes = 8 * kStackLimit;
constexpr int kErrorCodeSlot = kSpillBytes;
constexpr int kFrameBytes = kSpillBytes + 8;  // keeps rsp 16-byte aligned at calls (see prologues)

// Read-only numbers the code compares with, placed after the code.
struct DataTable {
  std::uint64_t absMask[2] = {0x7FFF'FFFF'FFFF'FFFFu, 0x7FFF'FFFF'FFFF'FFFFu};
  double minNormal = DBL_MIN;
  double maxFinite = DBL_MAX;
  double lossBound = kPartialLossBound;
  double one = 1.0;
  double two = 2.0;
  double pi = kPi;
};
constexpr int kAbsMask = offsetof(DataTable, absMask);
constexpr int kMinNormal = offsetof(DataTable, minNormal);
constexpr int kMaxFinite = offsetof(DataTable, maxFinite);
constexpr int kLossBound = offsetof(DataTable, lossBound);
constexpr int kOne = offsetof(DataTable, one);
constexpr int kTwo = offsetof(DataTable, two);
constexpr int kPiValue = offsetof(DataTable, pi);

// How the code decides that a function's checked wrapper would return the
// library value unchanged; anything else goes to the wrapper itself, which
// then computes exactly what the interpreter computes.
enum class Check {
  None,          // no checks (ERF, ERFC, STEP): the function itself
  ResultNormal,  // exp: DBL_MIN <= result <= DBL_MAX
  ResultFinite,  // cosh, sinh: |result| <= DBL_MAX
  BelowLoss,     // sin, cos, tan: |a| < kPartialLossBound
  Positive,      // log, log10: 0 < a <= DBL_MAX
  Finite,        // ceil, floor: |a| <= DBL_MAX
  WithinOne,     // acos, asin: |a| <= 1
  NotNan,        // atan, tanh
  Fabs,          // |a| <= DBL_MAX, computed inline
  Sqrt,          // 0 <= a <= DBL_MAX, computed inline
};

struct FunctionCode {
  const void* library;  // called when the check passes (null: inline)
  Check check;
};

using Library = double (*)(double);

FunctionCode CodeFor(Opcode op) {
  switch (op) {
    case Opcode::Exp: return {reinterpret_cast<const void*>(static_cast<Library>(&std::exp)), Check::ResultNormal};
    case Opcode::Cosh: return {reinterpret_cast<const void*>(static_cast<Library>(&std::cosh)), Check::ResultFinite};
    case Opcode::Sinh: return {reinterpret_cast<const void*>(static_cast<Library>(&std::sinh)), Check::ResultFinite};
    case Opcode::Sin: return {reinterpret_cast<const void*>(static_cast<Library>(&std::sin)), Check::BelowLoss};
    case Opcode::Cos: return {reinterpret_cast<const void*>(static_cast<Library>(&std::cos)), Check::BelowLoss};
    case Opcode::Tan: return {reinterpret_cast<const void*>(static_cast<Library>(&std::tan)), Check::BelowLoss};
    case Opcode::Ln: return {reinterpret_cast<const void*>(static_cast<Library>(&std::log)), Check::Positive};
    case Opcode::Log: return {reinterpret_cast<const void*>(static_cast<Library>(&std::log10)), Check::Positive};
    case Opcode::Ceil: return {reinterpret_cast<const void*>(static_cast<Library>(&std::ceil)), Check::Finite};
    case Opcode::Floor: return {reinterpret_cast<const void*>(static_cast<Library>(&std::floor)), Check::Finite};
    case Opcode::Acos: return {reinterpret_cast<const void*>(static_cast<Library>(&std::acos)), Check::WithinOne};
    case Opcode::Asin: return {reinterpret_cast<const void*>(static_cast<Library>(&std::asin)), Check::WithinOne};
    case Opcode::Atan: return {reinterpret_cast<const void*>(static_cast<Library>(&std::atan)), Check::NotNan};
    case Opcode::Tanh: return {reinterpret_cast<const void*>(static_cast<Library>(&std::tanh)), Check::NotNan};
    case Opcode::Abs: return {nullptr, Check::Fabs};
    case Opcode::Sqrt: return {nullptr, Check::Sqrt};
    default: return {nullptr, Check::None};
  }
}

bool HasCalls(const std::vector<std::uint8_t>& code) {
  for (size_t k = 0; k < code.size(); ++k) {
    const std::uint8_t opcode = code[k];
    if (opcode == static_cast<std::uint8_t>(Opcode::End)) break;
    if (opcode == static_cast<std::uint8_t>(Opcode::Parameter) || opcode == static_cast<std::uint8_t>(Opcode::Constant)) {
      ++k;
      continue;
    }
    if (opcode == static_cast<std::uint8_t>(Opcode::Power) || FunctionOf(opcode) != nullptr) return true;
  }
  return false;
}

// A pointer argument the code reads through: in a register that survives
// calls, or in a caller-saved register that is reloaded from its frame slot
// when it is next needed after a call.
struct Pointer {
  x86::Gp reg;
  int frameSlot = -1;  // -1: the register survives calls
  bool valid = true;
};

// Emits the evaluation of one point. A stack value is either in its register
// xmm(2 + i) or still in memory (a parameter, a constant, x, π, or a value
// stored around a call), loaded only when an instruction needs it in a
// register; values in memory survive calls untouched.
class BodyEmitter {
 public:
  enum PointerId { kParams, kConstants, kX, kPointerCount };

  // `x` addresses the abscissa relative to the kX pointer (with the bulk
  // loop's index register when there is one).
  BodyEmitter(x86::Assembler& a, std::array<Pointer, kPointerCount> pointers, x86::Mem x, asmjit::Label data)
      : a_(a), pointers_(pointers), x_(x), data_(data) {}

  // Emits the evaluation; storeResult then writes the value.
  void emit(const std::vector<std::uint8_t>& code) {
    for (size_t k = 0; k < code.size(); ++k) {
      const std::uint8_t opcode = code[k];
      switch (static_cast<Opcode>(opcode)) {
        case Opcode::End: return;
        case Opcode::Add: binary(x86::Inst::kIdAddsd); break;
        case Opcode::Subtract: binary(x86::Inst::kIdSubsd); break;
        case Opcode::Multiply: binary(x86::Inst::kIdMulsd); break;
        case Opcode::Divide: binary(x86::Inst::kIdDivsd); break;
        case Opcode::Power: power(); break;
        case Opcode::Negate:
          // 0 − a, as the interpreter computes it (not a sign flip: 0 − 0 is +0).
          a_.xorpd(x86::xmm0, x86::xmm0);
          subtractTop(x86::xmm0);
          setRegister(depth_ - 1, x86::xmm0);
          break;
        case Opcode::Parameter: push({Source::Params, 8 * code[++k]}); break;
        case Opcode::Constant: push({Source::Constants, 8 * code[++k]}); break;
        case Opcode::X: push({Source::X, 0}); break;
        case Opcode::Pi: push({Source::Data, kPiValue}); break;
        default:
          if (UnaryFunction checked = FunctionOf(opcode)) function(static_cast<Opcode>(opcode), checked);
          break;
      }
    }
  }

  void storeResult(const x86::Mem& target) {
    if (inRegister(depth_ - 1)) {
      a_.movsd(target, slot(depth_ - 1));
    } else {
      a_.movsd(x86::xmm0, memory(stack_[depth_ - 1]));
      a_.movsd(target, x86::xmm0);
    }
  }

  // Which pointers had to be reloaded after a call.
  const std::array<bool, kPointerCount>& reloaded() const { return reloaded_; }

  // A call happened: caller-saved pointer registers must be reloaded.
  void afterCall() {
    for (Pointer& pointer : pointers_)
      if (pointer.frameSlot >= 0) pointer.valid = false;
  }

 private:
  enum class Source { Register, Params, Constants, X, Frame, Data };

  struct Entry {
    Source source = Source::Register;
    int offset = 0;
  };

  static x86::Xmm slot(int i) { return x86::xmm(static_cast<std::uint32_t>(2 + i)); }
  static x86::Mem spillSlot(int i) { return x86::qword_ptr(x86::rsp, 8 * i); }
  x86::Mem constant(int offset) const { return x86::qword_ptr(data_, offset); }

  const x86::Gp& pointer(PointerId id) {
    Pointer& p = pointers_[id];
    if (!p.valid) {
      a_.mov(p.reg, x86::qword_ptr(x86::rsp, p.frameSlot));
      p.valid = true;
      reloaded_[id] = true;
    }
    return p.reg;
  }

  // The memory operand of a value not in a register (emitting the reload of
  // its base pointer first when a call clobbered it).
  x86::Mem memory(const Entry& entry) {
    switch (entry.source) {
      case Source::Params: return x86::qword_ptr(pointer(kParams), entry.offset);
      case Source::Constants: return x86::qword_ptr(pointer(kConstants), entry.offset);
      case Source::X: {
        pointer(kX);
        return x_;
      }
      case Source::Frame: return x86::qword_ptr(x86::rsp, entry.offset);
      default: return constant(entry.offset);
    }
  }

  void push(Entry entry) { stack_[depth_++] = entry; }
  bool inRegister(int i) const { return stack_[i].source == Source::Register; }

  void load(const x86::Xmm& target, int i) {
    if (inRegister(i))
      a_.movapd(target, slot(i));
    else
      a_.movsd(target, memory(stack_[i]));
  }
  x86::Xmm toRegister(int i) {
    if (!inRegister(i)) {
      a_.movsd(slot(i), memory(stack_[i]));
      stack_[i] = {};
    }
    return slot(i);
  }
  void setRegister(int i, const x86::Xmm& value) {
    a_.movapd(slot(i), value);
    stack_[i] = {};
  }
  void subtractTop(const x86::Xmm& from) {
    if (inRegister(depth_ - 1))
      a_.subsd(from, slot(depth_ - 1));
    else
      a_.subsd(from, memory(stack_[depth_ - 1]));
  }

  // second-from-top = second-from-top (op) top
  void binary(x86::Inst::Id instruction) {
    const x86::Xmm left = toRegister(depth_ - 2);
    if (inRegister(depth_ - 1))
      a_.emit(instruction, left, slot(depth_ - 1));
    else
      a_.emit(instruction, left, memory(stack_[depth_ - 1]));
    --depth_;
  }

  // Calls clobber every xmm register: the values below `count` that are in
  // registers move to their frame slots and stay there until needed.
  void storeBelow(int count) {
    for (int i = 0; i < count; ++i) {
      if (!inRegister(i)) continue;
      a_.movsd(spillSlot(i), slot(i));
      stack_[i] = {Source::Frame, 8 * i};
    }
  }
  void call(const void* function) { call(a_, function); }
  static void call(x86::Assembler& a, const void* function) {
    a.mov(x86::rax, asmjit::imm(reinterpret_cast<std::uint64_t>(function)));
    a.call(x86::rax);
  }

  // Jumps to `slow` unless left >= right (ordered): "comisd; jb".
  void unlessAtLeast(const x86::Xmm& left, const x86::Xmm& right, asmjit::Label slow) {
    a_.comisd(left, right);
    a_.jb(slow);
  }
  // Jumps to `slow` unless DBL_MIN <= value <= DBL_MAX.
  void unlessNormal(const x86::Xmm& value, asmjit::Label slow) {
    a_.comisd(value, constant(kMinNormal));
    a_.jb(slow);  // smaller, or NaN
    a_.comisd(value, constant(kMaxFinite));
    a_.ja(slow);
  }

  // Code the fast path jumps to: placed after the function's return, so the
  // usual path runs straight through.
  void defer(std::function<void(x86::Assembler&)> code) { deferred_.push_back(std::move(code)); }

 public:
  void emitDeferred() {
    for (const auto& code : deferred_) code(a_);
    deferred_.clear();
  }

 private:
  void function(Opcode op, UnaryFunction checked) {
    const int top = depth_ - 1;
    const FunctionCode code = CodeFor(op);
    const asmjit::Label slow = a_.newLabel();
    const asmjit::Label done = a_.newLabel();
    const x86::Xmm arg = x86::xmm0;
    const x86::Xmm scratch = x86::xmm1;
    const x86::Xmm bound = x86::xmm15;  // above every stack register
    const void* wrapper = reinterpret_cast<const void*>(checked);

    if (code.check == Check::Fabs || code.check == Check::Sqrt) {
      // The usual path makes no call: only the unusual one stores and
      // reloads the stack values in registers.
      load(arg, top);
      if (code.check == Check::Fabs) {
        a_.movapd(scratch, arg);
        a_.andpd(scratch, x86::xmmword_ptr(data_, kAbsMask));
        a_.comisd(scratch, constant(kMaxFinite));
        a_.ja(slow);
        a_.jp(slow);
        a_.movapd(arg, scratch);
      } else {
        a_.xorpd(scratch, scratch);
        unlessAtLeast(arg, scratch, slow);
        a_.comisd(arg, constant(kMaxFinite));
        a_.ja(slow);
        a_.sqrtsd(arg, arg);
      }
      a_.bind(done);
      std::vector<int> live;
      for (int i = 0; i < top; ++i)
        if (inRegister(i)) live.push_back(i);
      defer([=](x86::Assembler& a) {
        a.bind(slow);
        for (int i : live) a.movsd(spillSlot(i), slot(i));
        call(a, wrapper);
        for (int i : live) a.movsd(slot(i), spillSlot(i));
        a.jmp(done);
      });
      setRegister(top, arg);
      afterCall();
      return;
    }

    storeBelow(top);
    load(arg, top);
    if (code.check == Check::None) {
      call(wrapper);
      setRegister(top, arg);
      afterCall();
      return;
    }
    // The argument waits in its own frame slot for the unusual path.
    a_.movsd(spillSlot(top), arg);
    switch (code.check) {
      case Check::BelowLoss:  // unusual unless |a| < bound
        a_.movapd(scratch, arg);
        a_.andpd(scratch, x86::xmmword_ptr(data_, kAbsMask));
        a_.movsd(bound, constant(kLossBound));
        a_.comisd(bound, scratch);
        a_.jbe(slow);
        break;
      case Check::Positive:  // unusual unless 0 < a <= DBL_MAX
        a_.xorpd(scratch, scratch);
        a_.comisd(arg, scratch);
        a_.jbe(slow);
        a_.comisd(arg, constant(kMaxFinite));
        a_.ja(slow);
        break;
      case Check::Finite:
      case Check::WithinOne:  // unusual unless |a| <= bound
        a_.movapd(scratch, arg);
        a_.andpd(scratch, x86::xmmword_ptr(data_, kAbsMask));
        a_.movsd(bound, constant(code.check == Check::Finite ? kMaxFinite : kOne));
        unlessAtLeast(bound, scratch, slow);
        break;
      case Check::NotNan:
        a_.ucomisd(arg, arg);
        a_.jp(slow);
        break;
      default: break;
    }
    call(code.library);
    switch (code.check) {
      case Check::ResultNormal: unlessNormal(arg, slow); break;
      case Check::ResultFinite:  // unusual unless |r| <= DBL_MAX
        a_.movapd(scratch, arg);
        a_.andpd(scratch, x86::xmmword_ptr(data_, kAbsMask));
        a_.movsd(bound, constant(kMaxFinite));
        unlessAtLeast(bound, scratch, slow);
        break;
      default: break;
    }
    a_.bind(done);
    defer([=](x86::Assembler& a) {
      a.bind(slow);
      a.movsd(arg, spillSlot(top));
      call(a, wrapper);
      a.jmp(done);
    });
    setRegister(top, arg);
    afterCall();
  }

  // a^b: a·a for b = 2 and pow otherwise, as CheckedPow does, then its
  // range check; anything unusual goes to CheckedPow itself.
  void power() {
    const int left = depth_ - 2;
    const int right = depth_ - 1;
    const asmjit::Label general = a_.newLabel();
    const asmjit::Label check = a_.newLabel();
    const asmjit::Label slow = a_.newLabel();
    const asmjit::Label done = a_.newLabel();
    storeBelow(left);
    load(x86::xmm0, left);
    load(x86::xmm1, right);
    a_.movsd(spillSlot(left), x86::xmm0);
    a_.movsd(spillSlot(right), x86::xmm1);
    a_.ucomisd(x86::xmm1, constant(kTwo));
    a_.jne(general);
    a_.jp(general);
    a_.mulsd(x86::xmm0, x86::xmm0);
    a_.bind(check);
    a_.movapd(x86::xmm1, x86::xmm0);
    a_.andpd(x86::xmm1, x86::xmmword_ptr(data_, kAbsMask));
    unlessNormal(x86::xmm1, slow);
    a_.bind(done);
    defer([=](x86::Assembler& a) {
      a.bind(general);
      call(a, reinterpret_cast<const void*>(static_cast<double (*)(double, double)>(&std::pow)));
      a.jmp(check);
      a.bind(slow);
      a.movsd(x86::xmm0, spillSlot(left));
      a.movsd(x86::xmm1, spillSlot(right));
      call(a, reinterpret_cast<const void*>(&CheckedPow));
      a.jmp(done);
    });
    --depth_;
    setRegister(left, x86::xmm0);
    afterCall();
  }

  x86::Assembler& a_;
  std::array<Pointer, kPointerCount> pointers_;
  x86::Mem x_;
  asmjit::Label data_;
  std::array<Entry, kStackLimit> stack_{};
  int depth_ = 0;
  std::vector<std::function<void(x86::Assembler&)>> deferred_;
  std::array<bool, kPointerCount> reloaded_{};
};

// void point(double* result, const double* params, const double* constants, const double* x)
// The pointers stay in their argument registers; with calls they also wait
// in the frame, from which they are reloaded after a call when needed.
constexpr int kPointerSlots = kSpillBytes;                   // params, constants, x, result
constexpr int kPointFrameBytes = kSpillBytes + 4 * 8 + 8;    // keeps rsp 16-byte aligned at calls

// Emits the point function; returns which pointers the body reloads after
// calls (only those are stored in the frame, found by a first pass).
std::array<bool, BodyEmitter::kPointerCount> EmitPoint(x86::Assembler& a, const std::vector<std::uint8_t>& code,
                                                       asmjit::Label data,
                                                       const std::array<bool, BodyEmitter::kPointerCount>& stored) {
  const bool calls = HasCalls(code);
  const x86::Gp registers[] = {x86::rsi, x86::rdx, x86::rcx};
  std::array<Pointer, BodyEmitter::kPointerCount> pointers;
  for (int id = 0; id < BodyEmitter::kPointerCount; ++id)
    pointers[id] = Pointer{registers[id], calls ? kPointerSlots + 8 * id : -1, true};
  if (calls) {
    a.sub(x86::rsp, kPointFrameBytes);
    for (int id = 0; id < BodyEmitter::kPointerCount; ++id)
      if (stored[id]) a.mov(x86::qword_ptr(x86::rsp, kPointerSlots + 8 * id), registers[id]);
    a.mov(x86::qword_ptr(x86::rsp, kPointerSlots + 24), x86::rdi);
  }
  BodyEmitter body(a, pointers, x86::qword_ptr(x86::rcx), data);
  body.emit(code);
  if (calls) a.mov(x86::rdi, x86::qword_ptr(x86::rsp, kPointerSlots + 24));
  body.storeResult(x86::qword_ptr(x86::rdi));
  if (calls) a.add(x86::rsp, kPointFrameBytes);
  a.ret();
  body.emitDeferred();
  return body.reloaded();
}

// size_t bulk(const double* params, const double* constants, const double* xs,
//             double* ys, size_t count, const int32_t* errorCode)
void EmitBulk(x86::Assembler& a, const std::vector<std::uint8_t>& code, asmjit::Label data) {
  // Six pushes and the frame keep rsp 16-byte aligned at every call.
  a.push(x86::rbx);
  a.push(x86::rbp);
  a.push(x86::r12);
  a.push(x86::r13);
  a.push(x86::r14);
  a.push(x86::r15);
  a.sub(x86::rsp, kFrameBytes);
  a.mov(x86::rbx, x86::rdi);
  a.mov(x86::r12, x86::rsi);
  a.mov(x86::r13, x86::rdx);
  a.mov(x86::r14, x86::rcx);
  a.mov(x86::r15, x86::r8);
  a.mov(x86::qword_ptr(x86::rsp, kErrorCodeSlot), x86::r9);
  a.xor_(x86::ebp, x86::ebp);

  asmjit::Label loop = a.newLabel();
  asmjit::Label done = a.newLabel();
  a.test(x86::r15, x86::r15);
  a.jz(done);
  a.align(asmjit::AlignMode::kCode, 16);
  a.bind(loop);
  BodyEmitter body(a, {Pointer{x86::rbx}, Pointer{x86::r12}, Pointer{x86::r13}}, x86::qword_ptr(x86::r13, x86::rbp, 3),
                   data);
  body.emit(code);
  body.storeResult(x86::qword_ptr(x86::r14, x86::rbp, 3));
  a.inc(x86::rbp);
  a.mov(x86::rax, x86::qword_ptr(x86::rsp, kErrorCodeSlot));
  a.cmp(x86::dword_ptr(x86::rax), 0);
  a.jne(done);
  a.cmp(x86::rbp, x86::r15);
  a.jb(loop);
  a.bind(done);
  a.mov(x86::rax, x86::rbp);

  a.add(x86::rsp, kFrameBytes);
  a.pop(x86::r15);
  a.pop(x86::r14);
  a.pop(x86::r13);
  a.pop(x86::r12);
  a.pop(x86::rbp);
  a.pop(x86::rbx);
  a.ret();
  body.emitDeferred();
}

}  // namespace

bool GenerateNative(const std::vector<std::uint8_t>& byteCode, NativeCode& out) {
  using asmjit::VirtMem::MemoryFlags;
  asmjit::CodeHolder holder;
  RecordingErrorHandler errors;
  if (holder.init(asmjit::Environment::host()) != asmjit::kErrorOk) return false;
  holder.setErrorHandler(&errors);
  x86::Assembler a(&holder);

  asmjit::Label point = a.newLabel();
  asmjit::Label bulk = a.newLabel();
  asmjit::Label data = a.newLabel();
  // A first pass learns which pointers the body needs after calls.
  std::array<bool, BodyEmitter::kPointerCount> stored{};
  {
    asmjit::CodeHolder scratch;
    RecordingErrorHandler scratchErrors;
    if (scratch.init(asmjit::Environment::host()) != asmjit::kErrorOk) return false;
    scratch.setErrorHandler(&scratchErrors);
    x86::Assembler dry(&scratch);
    stored = EmitPoint(dry, byteCode, dry.newLabel(), {true, true, true});
  }
  a.bind(point);
  EmitPoint(a, byteCode, data, stored);
  a.align(asmjit::AlignMode::kCode, 16);
  a.bind(bulk);
  EmitBulk(a, byteCode, data);
  a.align(asmjit::AlignMode::kData, 16);
  a.bind(data);
  const DataTable table;
  a.embed(&table, sizeof table);
  if (errors.failed || holder.flatten() != asmjit::kErrorOk || holder.resolveUnresolvedLinks() != asmjit::kErrorOk)
    return false;

  const size_t size = holder.codeSize();
  void* block = nullptr;
  if (asmjit::VirtMem::alloc(&block, size, MemoryFlags::kAccessRW) != asmjit::kErrorOk) return false;
  const bool written = holder.relocateToBase(reinterpret_cast<std::uint64_t>(block)) == asmjit::kErrorOk &&
                       holder.copyFlattenedData(block, size, asmjit::CopySectionFlags::kPadSectionBuffer) ==
                           asmjit::kErrorOk;
  if (!written || asmjit::VirtMem::protect(block, size, MemoryFlags::kAccessRX) != asmjit::kErrorOk) {
    asmjit::VirtMem::release(block, size);
    return false;
  }
  asmjit::VirtMem::flushInstructionCache(block, size);

  auto* base = static_cast<std::uint8_t*>(block);
  out.block = block;
  out.size = size;
  out.point = reinterpret_cast<EvalFunction::NativePoint>(base + holder.labelOffsetFromBase(point));
  out.bulk = reinterpret_cast<NativeBulk>(base + holder.labelOffsetFromBase(bulk));
  return true;
}

void ReleaseNative(NativeCode& code) {
  if (code.block != nullptr) asmjit::VirtMem::release(code.block, code.size);
  code = {};
}

}  // namespace expr_detail

#endif

}  // namespace zentrel
