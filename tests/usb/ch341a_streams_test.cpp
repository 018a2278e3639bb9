// The exact OUT streams of each operation, as a capture of the USB traffic
// would show them: speed once per operation, statuses of the device-select
// and address bytes, pages split over packets, polling, reads by 32 bytes,
// and the address pins in the device-select byte.
#include <gtest/gtest.h>

#include "ch341a_fixture.h"

namespace zorbix {
namespace {

using test::BancCh341a;
using test::Octets;
using Flux = std::vector<std::string>;

std::string Suite(int premier, int nombre) {
  Octets o;
  for (int i = 0; i < nombre; ++i) o.push_back(static_cast<std::uint8_t>(premier + i));
  return test::Hex(o.data(), o.size());
}

TEST(Ch341aFlux, ReadIsOneAddressStreamThenThirtyTwoBytesPerStream) {
  BancCh341a b(3);
  Octets lu(256);
  ASSERT_EQ(b.puce.lireMemoire(lu.data(), nullptr), EtatLecture::Lue);
  Flux attendu = {"AA 61 74 80 A0 80 00 74 80 A1 00"};
  attendu.insert(attendu.end(), 7, "AA E0 00");
  attendu.push_back("AA DF C0 75 00");
  EXPECT_EQ(b.note.flux, attendu);
  EXPECT_EQ(b.device.transfertsEntree(), 9);
}

// A 32-byte page of the 24C64 at 400 kHz: two streams, the last byte with
// its status and the STOP, polls until the chip answers, and the next page
// without the speed command.
TEST(Ch341aFlux, PageSpreadOverStreamsThenPolling) {
  BancCh341a b(8, {VitesseBus::K400, 0});
  Octets image(8192);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i);
  b.device.debrancherApres(12);
  b.puce.programmerMemoireEntiere(image.data(), true, nullptr);
  const Flux& f = b.note.flux;
  ASSERT_GE(f.size(), 4u);
  EXPECT_EQ(f[0], "AA 62 74 80 A0 80 00 80 00 95 " + Suite(0, 21) + " 00");
  EXPECT_EQ(f[1], "AA 8A " + Suite(21, 10) + " 80 1F 75 00");
  std::size_t i = 2;
  while (i < f.size() && f[i] == "AA 74 80 A0 75 00") ++i;
  EXPECT_GE(i, 4u) << "polls while the 5 ms write cycle runs";
  ASSERT_LT(i, f.size());
  EXPECT_EQ(f[i], "AA 74 80 A0 80 00 80 20 96 " + Suite(32, 22) + " 00");
}

// The address pins go into bits 3..1 of the select byte, except where the
// 24C04 carries its address bit A8: pins A2 A1 set make a grounded chip
// refuse (result 1); pin A0 alone is the 24C04's block bit and changes
// nothing.
TEST(Ch341aFlux, AddressPinsInTheSelectByte) {
  Octets image(512, 0x5A);
  BancCh341a haut(4, {VitesseBus::K750, 7});
  EXPECT_EQ(haut.puce.programmerOctetSeul(image.data(), 0x1AB).Code, WriteResult::SelectionNonAcquittee);
  EXPECT_EQ(haut.note.flux, Flux{"AA 63 74 80 AE 80 AB 80 5A 75 00"});

  BancCh341a bloc(4, {VitesseBus::K20, 1});
  EXPECT_EQ(bloc.puce.selection(0x1AB), 0xA2);
  EXPECT_EQ(bloc.puce.programmerOctetSeul(image.data(), 0x1AB).Code, WriteResult::EcritureReussie);
  EXPECT_EQ(bloc.note.flux.front(), "AA 60 74 80 A2 80 AB 80 5A 75 00");
  EXPECT_EQ(bloc.modele->memory()[0x1AB], 0x5A);

  EXPECT_EQ(BancCh341a(0, {VitesseBus::K100, 5}).puce.selection(0), 0xAA);
  EXPECT_EQ(BancCh341a(11, {VitesseBus::K100, 2}).puce.selection(0xFFFF), 0xA4);
  EXPECT_EQ(BancCh341a(6, {VitesseBus::K100, 7}).puce.selection(0x7FF), 0xAE);
}

}  // namespace
}  // namespace zorbix
