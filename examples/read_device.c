/* A program of your own on Ravlin: opens a serial port, reads the device's
   serial number and its coin event buffer, and prints them.

       read_device [PORT [ADDRESS]]

   PORT is 1 to 9 (Com1 by default; PONTEL_COM1=/dev/ttyUSB0 on Linux, or
   PONTEL_COM1=COM12 on Windows, maps a given device), ADDRESS the device's
   ccTalk address (0 by default: whichever device answers). Exits with
   status 1 when the port does not open or the device does not answer. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <CCTalkComDeclar.h>
#include <PontelDeclar.h>

int main(int argc, char **argv)
{
    const unsigned portNumber = argc > 1 ? (unsigned)strtoul(argv[1], NULL, 0) : 1;
    const unsigned address = argc > 2 ? (unsigned)strtoul(argv[2], NULL, 0) : 0;
    if (portNumber < 1 || portNumber > 9 || address > 255) {
        fprintf(stderr, "usage: %s [PORT 1-9 [ADDRESS 0-255]]\n", argv[0]);
        return 2;
    }

    /* 9600 baud, 8 data bits, no parity, 1 stop bit; read time-outs of
       200 ms between bytes and 200 ms a byte plus 3 s a read. */
    PortHandle port = ComInit((uint8_t)portNumber, 9600, 8, 0, 1, 200, 200, 3000, 0, 0);
    if (port == -1) {
        fprintf(stderr, "Com%u does not open\n", portNumber);
        return 1;
    }

    const int32_t serial = CCGet_Serial_Number(&port, (uint8_t)address);
    if (serial == -1) {
        fprintf(stderr, "no answer from address %u on Com%u\n", address, portNumber);
        CloseCom(&port);
        return 1;
    }
    printf("Com%u, address %u: serial number %ld\n", portNumber, address, (long)serial);

    /* The event buffer: a counter, then five (result A, result B) pairs,
       newest first. The library writes only what the device sent, so the
       buffer starts cleared. */
    uint8_t events[254];
    memset(events, 0, sizeof events);
    CCGet_Buffer(&port, (uint8_t)address, events);
    printf("event counter %u\n", events[0]);
    for (int k = 1; k <= 5; ++k)
        printf("  event %d: result A %3u, result B %3u\n", k, events[2 * k - 1], events[2 * k]);

    CloseCom(&port);
    return 0;
}
