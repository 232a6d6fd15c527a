// Components, string lists and bound-method events.
#include <gtest/gtest.h>

#include "vcl/Classes.h"

namespace {

class TProbe : public TComponent {
 public:
  TProbe(TComponent* AOwner, std::vector<String>* ALog, const String& AName) : TComponent(AOwner), FLog(ALog) {
    SetName(AName);
  }
  ~TProbe() override { FLog->push_back(GetName()); }

 private:
  std::vector<String>* FLog;
};

TEST(Classes, OwnerFreesOwnedComponentsNewestFirst) {
  std::vector<String> log;
  auto* owner = new TProbe(nullptr, &log, "owner");
  new TProbe(owner, &log, "a");
  auto* b = new TProbe(owner, &log, "b");
  new TProbe(b, &log, "b1");
  auto* c = new TProbe(owner, &log, "c");
  EXPECT_EQ(owner->ComponentCount, 3);
  EXPECT_EQ(owner->FindComponent("B"), b);
  EXPECT_EQ(c->Owner.Get(), owner);
  delete c;  // leaves its owner's list by itself
  EXPECT_EQ(owner->ComponentCount, 2);
  delete owner;
  EXPECT_EQ(log, (std::vector<String>{"c", "owner", "b", "b1", "a"}));
}

TEST(Classes, StringList) {
  TStringList list;
  EXPECT_EQ(list.Add("one"), 0);
  list.Add("two");
  list.Insert(0, "zero");
  EXPECT_EQ(list.Count, 3);
  EXPECT_EQ(list[2], "two");
  EXPECT_EQ(list.IndexOf("ONE"), 1);
  list.Delete(0);
  EXPECT_EQ(list.GetText(), "one\r\ntwo\r\n");
  list.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(list.ToVector(), (std::vector<String>{"a", "b", "c", "d"}));
  EXPECT_THROW(list.Get(4), Exception);
  EXPECT_THROW(list.Delete(-1), Exception);
}

class TTarget : public TObject {
 public:
  void Notify(TObject* Sender) { senders.push_back(Sender); }
  void Validate(TObject*, double Value, bool& Valid) { Valid = Value < 10; }
  std::vector<TObject*> senders;
};

TEST(Classes, EventsBindMembersAndCallables) {
  TTarget target;
  TNotifyEvent empty;
  EXPECT_FALSE(empty.Assigned());
  empty(&target);  // calling an empty event does nothing

  TNotifyEvent ev = Bind(&target, &TTarget::Notify);
  EXPECT_TRUE(ev.Assigned());
  EXPECT_EQ(ev.Data(), &target);
  ev(nullptr);
  ev(&target);
  EXPECT_EQ(target.senders, (std::vector<TObject*>{nullptr, &target}));

  TMethodEvent<TObject*, double, bool&> validate = Bind(&target, &TTarget::Validate);
  bool valid = true;
  validate(nullptr, 12, valid);
  EXPECT_FALSE(valid);

  int calls = 0;
  TNotifyEvent lambda = [&](TObject*) { ++calls; };
  lambda(nullptr);
  EXPECT_EQ(calls, 1);
  lambda = nullptr;
  EXPECT_FALSE(lambda.Assigned());
}

TEST(Classes, SetsOfEnumerators) {
  TShiftState s;
  EXPECT_TRUE(s.Empty());
  s << ssShift << ssCtrl;
  EXPECT_TRUE(s.Contains(ssCtrl));
  EXPECT_FALSE(s.Contains(ssAlt));
  s >> ssShift;
  EXPECT_EQ(s, TShiftState{ssCtrl});
}

}  // namespace
