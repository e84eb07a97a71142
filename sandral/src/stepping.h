#pragma once
// Stepping through the player's input in 512 KiB slots: resynchronising on
// damaged data, joining packets cut by a slot's end, choosing the packets
// to print and printing them.
namespace sandral {

// One read into the slot the reader fills next. Without a handle the slot
// reports the end of data and nothing is read.
void read_next_slot();
// Steps and prints until packetCount packets are printed or the data end;
// the outcome is in the status record.
void run_decode_loop();
// 0: one packet handled and the slot has more; 1: the slot is used up (or
// its rest is carried into the next one); negative: stop.
int decode_packet_step();
// A new position: slots, carried bytes, startOffset and endOfData cleared.
void reset_request_state();
// Slots, carry and the stepping position cleared (the player's reset).
void reset_stepping();

}  // namespace sandral
