// The export directory of the ARM64 layout library, written out here because
// lld-link 14 writes its own with ordinal base 0 and an empty slot before
// ordinal 1. This one is what the other three libraries carry: base 1, one
// function, KbdLayerDescriptor by name at ordinal 1. lld-link takes an input
// .edata section as the image's export directory when it is given no exports.
  .section .edata,"dr"
  .p2align 2
  .long 0                       // Characteristics
  .long 0                       // TimeDateStamp
  .short 0                      // MajorVersion
  .short 0                      // MinorVersion
  .rva library_name             // Name
  .long 1                       // Base
  .long 1                       // NumberOfFunctions
  .long 1                       // NumberOfNames
  .rva functions                // AddressOfFunctions
  .rva names                    // AddressOfNames
  .rva name_ordinals            // AddressOfNameOrdinals
functions:
  .rva KbdLayerDescriptor
names:
  .rva export_name
name_ordinals:
  .short 0
library_name:
  .asciz "VezOdorQFZ27.DLL"
export_name:
  .asciz "KbdLayerDescriptor"
