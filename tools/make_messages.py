#!/usr/bin/env python3
"""Writes data/messages.bin, the message table of the error reporter.

The table is a counted list (little-endian): an unsigned 16-bit count, then per
entry an unsigned 16-bit ID, one severity byte, the title as a length byte and
that many CP1250 characters, and the text as a length byte and that many CP1250
characters. The program loads the shipped file; this script only (re)creates it.

Usage: tools/make_messages.py [OUTPUT]   (default: data/messages.bin)
"""
import os
import struct
import sys

# (ID, severity, title, text) in the order the table is loaded.
MESSAGES = [
    (27, 5, "Invalid Key", "%File key file is invalid. Key must be rebuilt."),
    (26, 3, "Key was not built", "Error: (%ErrorText) repairing key for %File."),
    (10, 3, "File Creation Error", "Error: (%ErrorText) creating %File."),
    (24, 5, "Procedure not defined", "The Procedure %Message has not been defined."),
    (17, 5, "Range Error", "The value of %Field must be lower than %Message."),
    (18, 5, "Range Error", "The value of %Field must be higher than %Message."),
    (16, 5, "Range Error", "The value of %Field must be between %Message."),
    (14, 5, "Field contents error", "The value of %Field must be found in the %Message file."),
    (31, 5, "Referential Integrity Update Error",
     "This record is referenced from the file %File. Linking field(s) have been restricted "
     "from change and have been reset to original values."),
    (30, 5, "Referential Integrity Delete Error",
     "This record is referenced from the file %File. This record cannot be deleted while "
     "these references exist."),
    (4, 5, "Record Insert Error",
     "An error was experienced during the creation of a record. Error: %ErrorText."),
    (6, 5, "Record Was Not Updated", "This record was changed by another station."),
    (7, 5, "Record Was Not Updated",
     "This record was changed by another station. Those changes will now be displayed. "
     "Use the Ditto Button or Ctrl+' to recall your changes."),
    (34, 1, "Record Update Error",
     "An error was experienced changing this record. Do you want to try to save again?"),
    (33, 1, "Record Delete Error",
     "An error was experienced deleting this record. Do you want to try to delete it again?"),
    (20, 5, "Invalid Request", "This form cannot be used to insert a record"),
    (38, 5, "Invalid Request", "This form cannot be used to update a record"),
    (12, 5, "Invalid Request", "This form cannot be used to delete a record"),
    (8, 1, "Changes will be lost!", "Are you sure you want to cancel?"),
    (13, 5, "Duplicate Key Error",
     "Adding this record creates a duplicate entry for the key: %Message"),
    (32, 1, "Auto Increment Error",
     "Attempts to automatically number this record have failed.  Error: %ErrorText. "
     "Try Again?"),
    (19, 5, "File Load Error", "%File File Load Error.  Error: %ErrorText."),
    (36, 1, "Beginning of File Error",
     "The beginning of the file was encountered. Do you want to start again from the end "
     "of the file?"),
    (37, 1, "End of File Error",
     "The end of the file was encountered. Do you want to start again from the beginning?"),
    (23, 3, "File Access Error", "File (%File) could not be opened.  Error: %ErrorText."),
    (25, 5, "Record was not updated",
     "An error (%ErrorText) was experienced when making changes to the %File file."),
    (11, 5, "Record was not deleted",
     "An error (%ErrorText) was experienced when deleting a record from the %File file."),
    (9, 1, "Confirm Delete", "Are you sure you want to delete the highlighted record?"),
    (35, 1, "Save Record", "Do you want to save the changes to this record?"),
    (21, 5, "Transaction cancelled",
     "Error: (%ErrorText) attempting to frame the transaction on %File."),
    (1, 5, "Record Retrieval Error",
     "Error: (%ErrorText) attempting to access a record from the %File file.  "
     "Returning to previous window."),
    (40, 5, "View Open Error",
     "Error: (%ErrorText) attempting to open the current VIEW. Filter and Range Limits "
     "ignored."),
    (3, 1, "Record Added",
     "This record has been added to the file. Do you want to add another record?"),
    (28, 5, "Record not read",
     "A record held by another station was encountered reading from the %File file."),
    (5, 5, "Dodati podatak?", "Upisali ste podatak koji ne postoji. Želite li ga dodati?"),
    (15, 5, "Value Error", "The value of %Field must be in the list : %Message."),
    (22, 5, "No Records", "There are no records available to process."),
    (2, 5, "Access Denied", "Could not get write access to %File so trying read-only."),
    (39, 2, "File Usage Error", "Attempt to use file (%File) before it was opened"),
]


def counted(text):
    data = text.encode("cp1250")
    if len(data) > 255:
        raise ValueError(f"text longer than 255 characters: {text!r}")
    return bytes([len(data)]) + data


def encode(messages):
    out = bytearray(struct.pack("<H", len(messages)))
    for ident, severity, title, text in messages:
        out += struct.pack("<HB", ident, severity) + counted(title) + counted(text)
    return bytes(out)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data", "messages.bin")
    with open(target, "wb") as f:
        f.write(encode(MESSAGES))


if __name__ == "__main__":
    main()
